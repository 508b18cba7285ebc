#pragma once

// A read-only text that wraps at any character, not only between words, so
// that long unbroken values (paths, hashes, addresses, command lists) stay
// inside their column. It has no width of its own: the layout decides the
// width and the widget answers the height it needs for it.
//
// It is made either as a plain field or as a link field, and stays that kind
// for its whole life. A plain field can be selected and copied. A link field
// shows the pointing hand and opens its address on a click, and cannot be
// selected. A link field is also a stop of the Tab order: it shows a ring
// while it has the focus, and Space or Return opens it as a click does. A
// plain field later given a link takes the link colour and underline but
// opens nothing.
//
// The text is set in the monospaced system font at the size of the
// application font, in the label colour, or the link colour and underlined
// when there is a link.

#include <QTextLayout>
#include <QUrl>
#include <QWidget>

#include <optional>

namespace ReveZE {

class CharWrappingText : public QWidget
{
    Q_OBJECT

public:
    explicit CharWrappingText(QString text, std::optional<QUrl> link = std::nullopt, QWidget *parent = nullptr);

    // Replaces the content; the kind of field stays as made.
    void setContent(QString text, std::optional<QUrl> link);
    const QString &text() const { return m_text; }
    const std::optional<QUrl> &link() const { return m_link; }

    bool isLinkField() const { return m_isLinkField; }
    bool isSelectable() const { return !m_isLinkField; }

    QColor textColour() const;
    bool isUnderlined() const { return m_link.has_value(); }

    // Selection of a plain field.
    QString selectedText() const;
    void selectAll();
    void clearSelection();
    void copy() const;

    // The number of lines the text takes at `width`.
    int lineCount(int width) const;

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
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QFont textFont() const;
    // Lays the text out at `width` into `layout`; returns the height.
    qreal layOut(QTextLayout &layout, qreal width) const;
    void relayout();
    int positionAt(const QPointF &point) const;

    QString m_text;
    std::optional<QUrl> m_link;
    const bool m_isLinkField;

    QTextLayout m_layout;
    int m_laidOutWidth = -1;
    int m_anchor = -1;
    int m_cursor = -1;
    bool m_selecting = false;
};

} // namespace ReveZE
