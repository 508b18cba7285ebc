#pragma once

// What the install sheet holds its content in: a scroll area that asks for
// the whole of its content as long as that fits a height limit, and for the
// limit (with room for the vertical scroll bar) once it does not. The sheet
// takes exactly this size, so it grows and shrinks with its content and
// scrolls, rather than runs past the window, on a small screen.

#include <QScrollArea>

namespace ReveZE {

class SheetScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit SheetScrollArea(QWidget *parent = nullptr);

    // The most the area asks for in height; QWIDGETSIZE_MAX: no limit.
    int heightLimit() const { return m_heightLimit; }
    void setHeightLimit(int limit);

    // The height the content needs at its width.
    int contentHeight() const;
    // Whether the content is taller than the limit (the area scrolls).
    bool scrolls() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_heightLimit = QWIDGETSIZE_MAX;
};

} // namespace ReveZE
