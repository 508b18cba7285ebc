#include "widgets/CharWrappingText.h"

#include "widgets/Palette.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextOption>

#include <cmath>

namespace ReveZE {

CharWrappingText::CharWrappingText(QString text, std::optional<QUrl> link, QWidget *parent)
    : QWidget(parent), m_isLinkField(link.has_value())
{
    // No width of its own: the column decides, and the text never widens it.
    QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    if (m_isLinkField) {
        setCursor(Qt::PointingHandCursor);
        // Reached by Tab, not taken by the click that opens it.
        setFocusPolicy(Qt::TabFocus);
    } else {
        setCursor(Qt::IBeamCursor);
        setFocusPolicy(Qt::ClickFocus);
    }
    setContent(std::move(text), std::move(link));
}

void CharWrappingText::setContent(QString text, std::optional<QUrl> link)
{
    m_text = std::move(text);
    m_link = std::move(link);
    m_anchor = m_cursor = -1;
    setAccessibleName(m_text);
    relayout();
    updateGeometry();
    update();
}

QColor CharWrappingText::textColour() const
{
    return m_link ? palette().color(QPalette::Link) : palette().color(QPalette::WindowText);
}

QFont CharWrappingText::textFont() const
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFont system = QApplication::font();
    if (system.pointSizeF() > 0)
        font.setPointSizeF(system.pointSizeF());
    else
        font.setPixelSize(system.pixelSize());
    font.setWeight(QFont::Normal);
    font.setUnderline(m_link.has_value());
    return font;
}

qreal CharWrappingText::layOut(QTextLayout &layout, qreal width) const
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout.setText(m_text);
    layout.setFont(textFont());
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    qreal height = 0;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(qMax<qreal>(1, width));
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

int CharWrappingText::heightForWidth(int width) const
{
    if (width <= 0)
        return sizeHint().height();
    QTextLayout layout;
    return int(std::ceil(layOut(layout, width)));
}

int CharWrappingText::lineCount(int width) const
{
    QTextLayout layout;
    layOut(layout, width);
    return layout.lineCount();
}

QSize CharWrappingText::sizeHint() const
{
    // Without a width the field claims one line and no width.
    const QFontMetrics metrics(textFont());
    const int height = width() > 0 ? heightForWidth(width()) : metrics.height();
    return {0, height};
}

QSize CharWrappingText::minimumSizeHint() const
{
    return {0, QFontMetrics(textFont()).height()};
}

void CharWrappingText::relayout()
{
    m_laidOutWidth = width();
    layOut(m_layout, width());
}

void CharWrappingText::resizeEvent(QResizeEvent *)
{
    if (width() != m_laidOutWidth)
        relayout();
}

void CharWrappingText::changeEvent(QEvent *event)
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

void CharWrappingText::paintEvent(QPaintEvent *)
{
    if (width() != m_laidOutWidth)
        relayout();
    QPainter painter(this);
    painter.setPen(textColour());
    QList<QTextLayout::FormatRange> selections;
    if (m_anchor >= 0 && m_cursor >= 0 && m_anchor != m_cursor) {
        QTextLayout::FormatRange range;
        range.start = qMin(m_anchor, m_cursor);
        range.length = qAbs(m_cursor - m_anchor);
        range.format.setBackground(palette().brush(hasFocus() ? QPalette::Active : QPalette::Inactive,
                                                   QPalette::Highlight));
        range.format.setForeground(palette().brush(hasFocus() ? QPalette::Active : QPalette::Inactive,
                                                   QPalette::HighlightedText));
        selections.append(range);
    }
    m_layout.draw(&painter, QPointF(0, 0), selections);
    if (m_isLinkField && hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Palette::withOpacity(Palette::accent(palette()), 0.6), 2));
        const QRectF text = m_layout.boundingRect().intersected(QRectF(rect()));
        painter.drawRoundedRect(text.adjusted(1, 1, -1, -1), 3, 3);
    }
}

int CharWrappingText::positionAt(const QPointF &point) const
{
    if (m_layout.lineCount() == 0)
        return 0;
    for (int i = 0; i < m_layout.lineCount(); ++i) {
        const QTextLine line = m_layout.lineAt(i);
        if (point.y() < line.y() + line.height() || i == m_layout.lineCount() - 1)
            return line.xToCursor(point.x());
    }
    return int(m_text.size());
}

void CharWrappingText::mousePressEvent(QMouseEvent *event)
{
    if (m_isLinkField) {
        if (m_link && event->button() == Qt::LeftButton) {
            QDesktopServices::openUrl(*m_link);
            event->accept();
            return;
        }
        QWidget::mousePressEvent(event);
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_anchor = m_cursor = positionAt(event->position());
    m_selecting = true;
    update();
}

void CharWrappingText::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selecting) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    m_cursor = positionAt(event->position());
    update();
}

void CharWrappingText::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_selecting) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_selecting = false;
    m_cursor = positionAt(event->position());
    update();
}

void CharWrappingText::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_isLinkField) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    // A value is one unit: a double click takes all of it.
    selectAll();
}

void CharWrappingText::keyPressEvent(QKeyEvent *event)
{
    if (m_isLinkField && m_link && !(event->modifiers() & ~Qt::KeypadModifier)
        && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        QDesktopServices::openUrl(*m_link);
        event->accept();
        return;
    }
    if (!m_isLinkField && event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (!m_isLinkField && event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CharWrappingText::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void CharWrappingText::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

QString CharWrappingText::selectedText() const
{
    if (m_anchor < 0 || m_cursor < 0 || m_anchor == m_cursor)
        return {};
    return m_text.mid(qMin(m_anchor, m_cursor), qAbs(m_cursor - m_anchor));
}

void CharWrappingText::selectAll()
{
    if (m_isLinkField)
        return;
    m_anchor = 0;
    m_cursor = int(m_text.size());
    update();
}

void CharWrappingText::clearSelection()
{
    m_anchor = m_cursor = -1;
    update();
}

void CharWrappingText::copy() const
{
    const QString selected = selectedText();
    if (selected.isEmpty())
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(selected);
}

} // namespace ReveZE
