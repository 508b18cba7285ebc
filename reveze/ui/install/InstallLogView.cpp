#include "install/InstallLogView.h"

#include "InstallRunner.h"
#include "install/InstallStyle.h"
#include "widgets/Palette.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

#include <cmath>

namespace ReveZE {

InstallLogView::InstallLogView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::ClickFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground, false);
    setFont(InstallStyle::monospaced(TextStyle::Callout));
    m_frame.setSingleShot(true);
    m_frame.setInterval(frameInterval);
    connect(&m_frame, &QTimer::timeout, this, &InstallLogView::catchUp);
    changeEvent(nullptr);
}

void InstallLogView::setRunner(InstallRunner *runner)
{
    if (m_runner == runner)
        return;
    if (m_runner)
        disconnect(m_runner, nullptr, this, nullptr);
    m_runner = runner;
    if (runner) {
        connect(runner, &InstallRunner::logLineAdded, this, &InstallLogView::lineAdded);
        connect(runner, &InstallRunner::logChanged, this, [this] {
            // A shorter log is a new run: start over at the top.
            if (const InstallLog *lines = log(); lines && lines->size() < m_shown)
                logReset();
        });
        connect(runner, &QObject::destroyed, this, &InstallLogView::logReset);
    }
    logReset();
}

const InstallLog *InstallLogView::log() const
{
    return m_runner ? &m_runner->log() : nullptr;
}

void InstallLogView::lineAdded()
{
    if (!m_frame.isActive())
        m_frame.start();
}

void InstallLogView::logReset()
{
    m_shown = 0;
    m_longest = 0;
    m_anchor.reset();
    m_cursor.reset();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    catchUp();
}

int InstallLogView::lineStep() const
{
    return m_lineHeight + lineSpacing;
}

void InstallLogView::catchUp()
{
    m_frame.stop();
    const InstallLog *lines = log();
    const qsizetype total = lines ? lines->size() : 0;
    const qsizetype before = m_shown;
    for (qsizetype i = m_shown; i < total; ++i)
        m_longest = std::max(m_longest, lines->at(i).text.size());
    m_shown = total;
    updateScrollBars();
    // Repaint only when a new line is in view (or the log was emptied).
    const int top = verticalScrollBar()->value();
    const qsizetype lastVisible = (top + viewport()->height()) / std::max(1, lineStep()) + 1;
    if (total < before || before <= lastVisible || total == 0)
        viewport()->update();
}

void InstallLogView::updateScrollBars()
{
    const int step = lineStep();
    const qint64 content = 2 * padding + qint64(m_shown) * step - (m_shown > 0 ? lineSpacing : 0);
    const int height = viewport()->height();
    QScrollBar *vertical = verticalScrollBar();
    vertical->setRange(0, int(std::min<qint64>(std::max<qint64>(0, content - height), INT_MAX)));
    vertical->setPageStep(height);
    vertical->setSingleStep(step);
    const int width = int(std::ceil(2 * padding + m_longest * m_charWidth));
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, width - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(int(std::ceil(m_charWidth * 4)));
}

qsizetype InstallLogView::lineAt(const QPoint &position) const
{
    const int y = position.y() + verticalScrollBar()->value() - padding;
    if (y < 0 || m_shown == 0)
        return -1;
    const qsizetype index = y / std::max(1, lineStep());
    return index < m_shown ? index : -1;
}

std::optional<std::pair<qsizetype, qsizetype>> InstallLogView::selection() const
{
    if (!m_anchor || !m_cursor)
        return std::nullopt;
    return std::pair{std::min(*m_anchor, *m_cursor), std::max(*m_anchor, *m_cursor)};
}

void InstallLogView::selectLines(qsizetype from, qsizetype to)
{
    if (m_shown == 0)
        return clearSelection();
    m_anchor = std::clamp<qsizetype>(from, 0, m_shown - 1);
    m_cursor = std::clamp<qsizetype>(to, 0, m_shown - 1);
    viewport()->update();
}

void InstallLogView::selectAll()
{
    selectLines(0, m_shown - 1);
}

void InstallLogView::clearSelection()
{
    m_anchor.reset();
    m_cursor.reset();
    viewport()->update();
}

QString InstallLogView::selectedText() const
{
    const auto range = selection();
    const InstallLog *lines = log();
    if (!range || !lines)
        return QString();
    QStringList texts;
    for (qsizetype i = range->first; i <= range->second && i < lines->size(); ++i)
        texts.append(lines->at(i).text);
    return texts.join(QLatin1Char('\n'));
}

void InstallLogView::copySelection() const
{
    if (!selection())
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(selectedText());
}

void InstallLogView::paintEvent(QPaintEvent *event)
{
    ++m_paints;
    QPainter painter(viewport());
    {
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath background;
        background.addRoundedRect(QRectF(viewport()->rect()), 8, 8);
        painter.fillPath(background, Palette::withOpacity(Palette::quaternaryFill(palette()), 0.5));
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    const QRect area = event->rect();
    const InstallLog *lines = log();
    if (!lines || m_shown == 0)
        return;
    const int step = lineStep();
    const int top = verticalScrollBar()->value();
    const int left = horizontalScrollBar()->value();
    const qsizetype first = std::max<qsizetype>(0, (top + area.top() - padding) / step);
    const qsizetype last = std::min<qsizetype>(m_shown - 1, (top + area.bottom() - padding) / step);
    const auto range = selection();
    const QColor secondary = Palette::zelkSecondary(palette());
    const QColor red = Palette::red();
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor highlighted = palette().color(QPalette::HighlightedText);
    painter.setFont(font());
    for (qsizetype i = first; i <= last; ++i) {
        const LogLine &line = lines->at(i);
        const int y = padding + int(i * step) - top;
        const bool selected = range && i >= range->first && i <= range->second;
        if (selected)
            painter.fillRect(QRect(0, y - lineSpacing / 2, viewport()->width(), step), highlight);
        painter.setPen(selected ? highlighted : line.isError ? red : secondary);
        painter.drawText(QPointF(padding - left, y + m_ascent), line.text);
    }
}

void InstallLogView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void InstallLogView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const qsizetype index = lineAt(event->position().toPoint());
    if (index < 0)
        return clearSelection();
    if (event->modifiers().testFlag(Qt::ShiftModifier) && m_anchor)
        m_cursor = index;
    else
        m_anchor = m_cursor = index;
    viewport()->update();
}

void InstallLogView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !m_anchor)
        return QAbstractScrollArea::mouseMoveEvent(event);
    const QPoint position = event->position().toPoint();
    qsizetype index = lineAt(position);
    if (index < 0)
        index = position.y() < padding ? 0 : m_shown - 1;
    if (index != m_cursor) {
        m_cursor = index;
        viewport()->update();
    }
}

void InstallLogView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return event->accept();
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return event->accept();
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void InstallLogView::changeEvent(QEvent *event)
{
    if (!event || event->type() == QEvent::FontChange) {
        const QFontMetricsF metrics(font());
        m_lineHeight = int(std::ceil(metrics.height()));
        m_ascent = int(std::ceil(metrics.ascent()));
        m_charWidth = metrics.horizontalAdvance(QLatin1Char('M'));
        updateScrollBars();
    }
    if (event)
        QAbstractScrollArea::changeEvent(event);
}

} // namespace ReveZE
