#include "install/StyledTextView.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace ReveZE {

StyledTextView::StyledTextView(QWidget *parent)
    : QTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setFocusPolicy(Qt::ClickFocus);
    viewport()->setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("QTextEdit { background: transparent; }"));
    document()->setDocumentMargin(0);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void StyledTextView::setStyledText(const StyledText &text)
{
    if (text == m_text && !document()->isEmpty())
        return;
    m_text = text;
    rebuild();
}

void StyledTextView::rebuild()
{
    document()->clear();
    QTextCursor cursor(document());
    for (const StyledText::Run &run : m_text.runs())
        cursor.insertText(run.text, StyledText::format(run.role, palette()));
    updateGeometry();
}

int StyledTextView::heightForWidth(int width) const
{
    QTextDocument *doc = document();
    const qreal old = doc->textWidth();
    doc->setTextWidth(std::max(1, width));
    const int height = int(std::ceil(doc->size().height()));
    doc->setTextWidth(old);
    return height;
}

QSize StyledTextView::sizeHint() const
{
    const int width = std::max(this->width(), 100);
    return {width, heightForWidth(width)};
}

QSize StyledTextView::minimumSizeHint() const
{
    return {50, heightForWidth(std::max(width(), 100))};
}

void StyledTextView::resizeEvent(QResizeEvent *event)
{
    QTextEdit::resizeEvent(event);
    updateGeometry();
}

void StyledTextView::changeEvent(QEvent *event)
{
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        rebuild();
}

} // namespace ReveZE
