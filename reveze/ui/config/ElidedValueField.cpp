#include "config/ElidedValueField.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>

namespace ReveZE {

ElidedValueField::ElidedValueField(QWidget *parent)
    : QLineEdit(parent)
{
    setReadOnly(true);
    setFrame(false);
    setTextMargins(0, 0, 0, 0);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::transparent);
    setPalette(p);
    setAutoFillBackground(false);
}

void ElidedValueField::setValue(const QString &value)
{
    if (m_value == value && !text().isEmpty())
        return;
    m_value = value;
    setToolTip(value);
    showValue();
}

QSize ElidedValueField::sizeHint() const
{
    // As wide as the whole value, so a wide window shows it unshortened.
    QSize size = QLineEdit::sizeHint();
    size.setWidth(fontMetrics().horizontalAdvance(m_value) + 8);
    return size;
}

QSize ElidedValueField::minimumSizeHint() const
{
    QSize size = QLineEdit::minimumSizeHint();
    size.setWidth(fontMetrics().horizontalAdvance(QStringLiteral("m…m")) + 8);
    return size;
}

int ElidedValueField::availableWidth() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect inner = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    // QLineEdit keeps a small horizontal margin inside its contents.
    return qMax(0, inner.width() - 4);
}

void ElidedValueField::showValue()
{
    const QString shown = hasFocus() ? m_value
                                     : fontMetrics().elidedText(m_value, Qt::ElideMiddle, availableWidth());
    if (text() != shown) {
        setText(shown);
        setCursorPosition(0);
    }
}

void ElidedValueField::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    showValue();
}

void ElidedValueField::focusInEvent(QFocusEvent *event)
{
    showValue();
    QLineEdit::focusInEvent(event);
}

void ElidedValueField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    deselect();
    showValue();
}

void ElidedValueField::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy) && !hasSelectedText()) {
        QClipboard *clipboard = QApplication::clipboard();
        clipboard->clear();
        clipboard->setText(m_value);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ElidedValueField::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        showValue();
}

} // namespace ReveZE
