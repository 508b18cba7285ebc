#pragma once

// The install sheet's log: every line of the runner's log, painted
// virtually. Only the lines in view are drawn, so a run of a million lines
// costs what a screenful costs; there is no widget or text document per
// line. Appends are coalesced to at most one update per frame, and the view
// never scrolls by itself: what the user is reading stays put while lines
// arrive.
//
// Lines are selected whole: a click selects one, a drag or Shift-click a
// range, Ctrl+A all; Ctrl+C puts the texts of the selected lines on the
// clipboard, one per line. Error lines are red, the others zelkSecondary.

#include "InstallLog.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QTimer>

#include <optional>

namespace ReveZE {

class InstallRunner;

class InstallLogView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr int padding = 6;
    static constexpr int lineSpacing = 2;
    static constexpr int frameInterval = 16;

    explicit InstallLogView(QWidget *parent = nullptr);

    // The runner whose log is shown (not owned; may be replaced).
    void setRunner(InstallRunner *runner);

    // The lines the view has taken in so far (it catches up once per frame).
    qsizetype shownLineCount() const { return m_shown; }
    // Selected lines, first to last inclusive; none when nothing is selected.
    std::optional<std::pair<qsizetype, qsizetype>> selection() const;
    void selectLines(qsizetype from, qsizetype to);
    void selectAll();
    void clearSelection();
    QString selectedText() const;
    void copySelection() const;

    // The index of the line at a viewport position, or -1.
    qsizetype lineAt(const QPoint &position) const;
    // The pixel height of one line with its spacing.
    int lineStep() const;
    // How many times the view has repainted (tests check coalescing).
    int paintCount() const { return m_paints; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    const InstallLog *log() const;
    void lineAdded();
    void logReset();
    void catchUp();
    void updateScrollBars();

    QPointer<InstallRunner> m_runner;
    qsizetype m_shown = 0;
    qsizetype m_longest = 0;
    QTimer m_frame;
    std::optional<qsizetype> m_anchor;
    std::optional<qsizetype> m_cursor;
    int m_paints = 0;
    int m_lineHeight = 0;
    qreal m_charWidth = 0;
    int m_ascent = 0;
};

} // namespace ReveZE
