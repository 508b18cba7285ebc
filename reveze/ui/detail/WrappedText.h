#pragma once

// A read-only text of the detail that wraps between words and, for a word
// longer than its column, inside the word, so that no text from zelk or the
// index ever widens the column. Optionally limited to a number of lines (the
// last one then ends in "…") and selectable for copying. The text is always
// plain; its colour comes from the widget's palette when it paints, so it
// follows dark mode.

#include <QTextLayout>
#include <QWidget>

#include <functional>

namespace ReveZE {

class WrappedText : public QWidget
{
    Q_OBJECT

public:
    using Tint = std::function<QColor(const QPalette &)>;

    explicit WrappedText(QWidget *parent = nullptr);

    void setText(const QString &text);
    const QString &text() const { return m_text; }
    void setTint(Tint tint);
    QColor colour() const;
    // 0: as many lines as the text needs.
    void setMaximumLines(int lines);
    int maximumLines() const { return m_maximumLines; }
    void setSelectable(bool selectable);
    bool isSelectable() const { return m_selectable; }

    // The lines the text takes at `width`, before any limit.
    int lineCount(int width) const;
    // The lines drawn at the current width (after the limit).
    int shownLineCount() const;
    // Whether the limit cut the text at the current width.
    bool isTruncated() const;

    QString selectedText() const;
    void selectAll();
    void copy() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // Lays the text out at `width`; returns the height of the lines shown.
    qreal layOut(QTextLayout &layout, qreal width, int *allLines = nullptr) const;
    void relayout();
    int positionAt(const QPointF &point) const;

    QString m_text;
    // The text as laid out: line breaks become line separators.
    QString m_layoutText;
    Tint m_tint;
    int m_maximumLines = 0;
    bool m_selectable = false;

    QTextLayout m_layout;
    int m_laidOutWidth = -1;
    int m_allLines = 0;
    int m_anchor = -1;
    int m_cursor = -1;
    bool m_selecting = false;
};

} // namespace ReveZE
