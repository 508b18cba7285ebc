#pragma once

#include <QWidget>

namespace ReveZE {

// The warm grey rounded rectangle behind the detail grid's column of values.
// It only paints: it never takes clicks, and it is fully transparent while
// the column it frames is empty.
class ValueColumnHighlight : public QWidget
{
    Q_OBJECT

public:
    // Above and below the column the highlight reaches this far.
    static constexpr int overhang = 10;
    static constexpr qreal cornerRadius = 12;

    explicit ValueColumnHighlight(QWidget *parent = nullptr);

    // The union of the value cells' frames, in this widget's parent's
    // coordinates; the highlight takes its place around it.
    void setColumnFrame(const QRectF &frame);
    const QRectF &columnFrame() const { return m_column; }
    // The rectangle the highlight covers (in the parent's coordinates).
    QRectF highlightFrame() const;
    bool isOpaque() const { return !m_column.isEmpty(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF m_column;
};

} // namespace ReveZE
