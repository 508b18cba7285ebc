#pragma once

// What the package rows of the Installed and the Discover lists paint with,
// made once and kept: the fonts and their metrics, the kind badge's texts
// and widths, and the kind icon and the linked check as images. A delegate
// owns one and calls refresh() before painting; it rebuilds only what a
// change of the application font, the language or the device pixel ratio
// made stale, so a painted row builds no font, measures no badge and draws
// no glyph of the symbol font.
//
// Rows also keep their own texts (elided names, description lines) as
// QStaticText in a RowTextCache: laid out once per row, font and width.

#include "AppLanguage.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPixmap>
#include <QStaticText>

#include <optional>

class QPainter;
class QPalette;

namespace ReveZE {

class Localizer;

class PackageRowStyle
{
public:
    // The row's own vertical padding, what an inset list adds around each
    // row, from the background's edge to the icon, and the other gaps.
    static constexpr qreal rowPadding = 3;
    static constexpr qreal listPadding = 4;
    static constexpr qreal inset = 10;
    static constexpr qreal contentInset = 8;
    static constexpr qreal iconTopPadding = 2;
    static constexpr qreal columnGap = 10;
    static constexpr qreal lineGap = 3;
    static constexpr qreal itemGap = 6;
    static constexpr qreal badgeHPadding = 6;
    static constexpr qreal badgeVPadding = 2;
    static constexpr qreal selectionRadius = 6;

    explicit PackageRowStyle(const Localizer &l);

    // Brings everything up to date; true when something changed (and cached
    // row texts must go). A ratio of 0 keeps the images' ratio.
    bool refresh(qreal devicePixelRatio = 0);

    const QFont &nameFont() const { return m_nameFont; }
    const QFont &badgeFont() const { return m_badgeFont; }
    const QFont &captionFont() const { return m_captionFont; }
    const QFontMetricsF &nameMetrics() const { return *m_nameMetrics; }
    const QFontMetricsF &badgeMetrics() const { return *m_badgeMetrics; }
    const QFontMetricsF &captionMetrics() const { return *m_captionMetrics; }

    // The height of a row's first line: the name beside the badge's capsule.
    qreal firstLineHeight() const { return m_firstLine; }
    qreal badgeWidth(bool dependency) const { return m_badgeWidth[dependency]; }
    qreal badgeHeight() const { return m_badgeHeight; }
    const QString &kindText(bool dependency) const { return m_kindText[dependency]; }
    // The linked check's side (the caption's line height).
    qreal checkSide() const { return m_checkSide; }

    // The distance a text's top lies above its line's centre.
    static QPointF textTopLeft(const QRectF &line, const QFontMetricsF &metrics);

    void paintSelection(QPainter &painter, const QRectF &background, const QPalette &palette) const;
    // The ring of the row that has the keyboard focus (the list's current
    // row while the list has the focus), on a selected row or not.
    void paintFocus(QPainter &painter, const QRectF &background, bool selected, const QPalette &palette) const;
    // A row's background inside the row's rectangle.
    static QRectF background(const QRectF &row) { return row.adjusted(inset, 1, -inset, -1); }
    void paintKindIcon(QPainter &painter, const QPointF &topLeft, bool dependency) const;
    void paintBadge(QPainter &painter, const QRectF &badge, bool dependency, bool selected,
                    const QPalette &palette) const;
    void paintCheck(QPainter &painter, const QRectF &frame) const;

    // Bumped by every refresh() that changed something.
    quint64 generation() const { return m_generation; }

private:
    const Localizer &m_l;
    QFont m_base;
    std::optional<AppLanguage> m_language;
    qreal m_ratio = 0;
    quint64 m_generation = 0;

    QFont m_nameFont;
    QFont m_badgeFont;
    QFont m_captionFont;
    std::optional<QFontMetricsF> m_nameMetrics;
    std::optional<QFontMetricsF> m_badgeMetrics;
    std::optional<QFontMetricsF> m_captionMetrics;
    qreal m_firstLine = 0;
    qreal m_badgeHeight = 0;
    qreal m_checkSide = 0;
    QString m_kindText[2];
    QStaticText m_badgeText[2];
    qreal m_badgeWidth[2] = {0, 0};
    QPixmap m_kindIcon[2];
    QPixmap m_check;
};

// Texts a list keeps per row (an elided name, a version, description lines),
// laid out once: a painted row looks its entry up by the package's index in
// the list's records. The whole cache goes when its key (the style's
// generation, the width, the records) changes; it holds at most a few
// screens of rows, so scrolling through 100,000 rows does not hoard them.
template<typename Entry>
class RowTextCache
{
public:
    // Drops everything when the key differs from the last one.
    void validate(quint64 styleGeneration, int width, quint64 recordsGeneration)
    {
        if (styleGeneration == m_style && width == m_width && recordsGeneration == m_records)
            return;
        m_style = styleGeneration;
        m_width = width;
        m_records = recordsGeneration;
        m_entries.clear();
    }
    const Entry *find(int key) const
    {
        const auto it = m_entries.constFind(key);
        return it == m_entries.cend() ? nullptr : &*it;
    }
    const Entry &insert(int key, Entry entry)
    {
        if (m_entries.size() >= limit)
            m_entries.clear();
        return *m_entries.insert(key, std::move(entry));
    }
    qsizetype size() const { return m_entries.size(); }

    static constexpr qsizetype limit = 1024;

private:
    QHash<int, Entry> m_entries;
    quint64 m_style = ~quint64(0);
    int m_width = -1;
    quint64 m_records = ~quint64(0);
};

// A plain-text QStaticText prepared for `font`.
QStaticText preparedText(const QString &text, const QFont &font);

} // namespace ReveZE
