#pragma once

#include <QLineEdit>

namespace ReveZE {

// A value shown on one line, shortened in the middle when it does not fit,
// that can still be selected and copied whole: while the field has the focus
// it holds the full text (so a selection is always of the real value), and
// Copy without a selection copies the whole value. Read-only, frameless, on
// the background of its parent.
class ElidedValueField : public QLineEdit
{
    Q_OBJECT

public:
    explicit ElidedValueField(QWidget *parent = nullptr);

    void setValue(const QString &value);
    const QString &value() const { return m_value; }
    // The text on show now (the shortened one while not focused).
    QString shownText() const { return text(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void showValue();
    int availableWidth() const;

    QString m_value;
};

} // namespace ReveZE
