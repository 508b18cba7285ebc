#include "detail/WrappedText.h"

#include "widgets/Palette.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextOption>

#include <cmath>

namespace ReveZE {

WrappedText::WrappedText(QWidget *parent)
    : QWidget(parent), m_tint([](const QPalette &palette) { return Palette::label(palette); })
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setFocusPolicy(Qt::NoFocus);
}

void WrappedText::setText(const QString &text)
{
    if (text == m_text && m_laidOutWidth >= 0)
        return;
    m_text = text;
    m_layoutText = text;
    for (QChar &c : m_layoutText) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QChar::LineSeparator;
    }
    m_anchor = m_cursor = -1;
    setAccessibleName(m_text);
    relayout();
    updateGeometry();
    update();
}

void WrappedText::setTint(Tint tint)
{
    m_tint = std::move(tint);
    update();
}

QColor WrappedText::colour() const
{
    return m_tint(palette());
}

void WrappedText::setMaximumLines(int lines)
{
    if (lines == m_maximumLines)
        return;
    m_maximumLines = qMax(0, lines);
    relayout();
    updateGeometry();
    update();
}

void WrappedText::setSelectable(bool selectable)
{
    m_selectable = selectable;
    setCursor(selectable ? Qt::IBeamCursor : Qt::ArrowCursor);
    setFocusPolicy(selectable ? Qt::ClickFocus : Qt::NoFocus);
    if (!selectable)
        m_anchor = m_cursor = -1;
}

qreal WrappedText::layOut(QTextLayout &layout, qreal width, int *allLines) const
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setText(m_layoutText);
    layout.setFont(font());
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    qreal height = 0;
    int lines = 0;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(qMax<qreal>(1, width));
        line.setPosition(QPointF(0, height));
        ++lines;
        if (m_maximumLines == 0 || lines <= m_maximumLines)
            height += line.height();
    }
    layout.endLayout();
    if (allLines)
        *allLines = lines;
    if (lines == 0)
        height = QFontMetricsF(font()).height();
    return height;
}

int WrappedText::heightForWidth(int width) const
{
    if (width <= 0)
        return QFontMetrics(font()).height();
    QTextLayout layout;
    return int(std::ceil(layOut(layout, width)));
}

int WrappedText::lineCount(int width) const
{
    QTextLayout layout;
    int lines = 0;
    layOut(layout, width, &lines);
    return lines;
}

int WrappedText::shownLineCount() const
{
    return m_maximumLines == 0 ? m_allLines : qMin(m_allLines, m_maximumLines);
}

bool WrappedText::isTruncated() const
{
    return m_maximumLines > 0 && m_allLines > m_maximumLines;
}

QSize WrappedText::sizeHint() const
{
    // As wide as the text on one line (the layout may give less; it wraps).
    const QFontMetricsF metrics(font());
    qreal widest = 0;
    for (const QStringView line : QStringView(m_layoutText).split(QChar::LineSeparator))
        widest = qMax(widest, metrics.horizontalAdvance(line.toString()));
    const int width = int(std::ceil(widest)) + 1;
    return {width, heightForWidth(width)};
}

QSize WrappedText::minimumSizeHint() const
{
    return {0, QFontMetrics(font()).height()};
}

void WrappedText::relayout()
{
    m_laidOutWidth = width();
    layOut(m_layout, width(), &m_allLines);
}

void WrappedText::resizeEvent(QResizeEvent *)
{
    if (width() != m_laidOutWidth)
        relayout();
}

void WrappedText::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange
        || event->type() == QEvent::StyleChange) {
        relayout();
        updateGeometry();
    }
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        update();
    QWidget::changeEvent(event);
}

void WrappedText::paintEvent(QPaintEvent *)
{
    if (width() != m_laidOutWidth)
        relayout();
    QPainter painter(this);
    painter.setPen(colour());
    painter.setFont(font());
    QList<QTextLayout::FormatRange> selections;
    if (m_anchor >= 0 && m_cursor >= 0 && m_anchor != m_cursor) {
        QTextLayout::FormatRange range;
        range.start = qMin(m_anchor, m_cursor);
        range.length = qAbs(m_cursor - m_anchor);
        const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
        range.format.setBackground(palette().brush(group, QPalette::Highlight));
        range.format.setForeground(palette().brush(group, QPalette::HighlightedText));
        selections.append(range);
    }
    if (!isTruncated()) {
        m_layout.draw(&painter, QPointF(0, 0), selections);
        return;
    }
    // The lines within the limit; the last of them takes the rest of the
    // text, cut with an ellipsis.
    for (int i = 0; i < m_maximumLines - 1; ++i)
        m_layout.lineAt(i).draw(&painter, QPointF(0, 0));
    const QTextLine last = m_layout.lineAt(m_maximumLines - 1);
    QString rest = m_layoutText.mid(last.textStart());
    rest.replace(QChar::LineSeparator, QLatin1Char(' '));
    const QFontMetricsF metrics(font());
    const QString elided = metrics.elidedText(rest, Qt::ElideRight, width());
    painter.drawText(QPointF(0, last.y() + last.ascent()), elided);
}

int WrappedText::positionAt(const QPointF &point) const
{
    const int lines = shownLineCount();
    if (lines == 0)
        return 0;
    for (int i = 0; i < lines; ++i) {
        const QTextLine line = m_layout.lineAt(i);
        if (point.y() < line.y() + line.height() || i == lines - 1)
            return line.xToCursor(point.x());
    }
    return int(m_text.size());
}

void WrappedText::mousePressEvent(QMouseEvent *event)
{
    if (!m_selectable || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_anchor = m_cursor = positionAt(event->position());
    m_selecting = true;
    update();
}

void WrappedText::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selecting) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    m_cursor = positionAt(event->position());
    update();
}

void WrappedText::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_selecting) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_selecting = false;
    m_cursor = positionAt(event->position());
    update();
}

void WrappedText::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!m_selectable) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    selectAll();
}

void WrappedText::keyPressEvent(QKeyEvent *event)
{
    if (m_selectable && event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (m_selectable && event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WrappedText::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

QString WrappedText::selectedText() const
{
    if (m_anchor < 0 || m_cursor < 0 || m_anchor == m_cursor)
        return {};
    return m_text.mid(qMin(m_anchor, m_cursor), qAbs(m_cursor - m_anchor));
}

void WrappedText::selectAll()
{
    if (!m_selectable)
        return;
    m_anchor = 0;
    m_cursor = int(m_text.size());
    update();
}

void WrappedText::copy() const
{
    const QString selected = selectedText();
    if (selected.isEmpty())
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(selected);
}

} // namespace ReveZE
