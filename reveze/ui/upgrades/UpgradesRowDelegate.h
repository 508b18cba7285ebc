#pragma once

// Paints the rows of the Upgrades list, all of one height: an orange arrow;
// the name (semibold) over the installed version, an arrow and the latest
// version (monospaced caption, the latest in green); at the trailing end a
// small Upgrade button. The button is painted, not a widget: the list
// (UpgradesList) presses it for the mouse and the keyboard and names it for
// screen readers. Fonts, images and texts are kept between paints.

#include "AppLanguage.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPixmap>
#include <QStaticText>
#include <QStyledItemDelegate>

#include <optional>

namespace ReveZE {

class Localizer;
class UpgradesList;

class UpgradesRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    UpgradesRowDelegate(const Localizer &l, UpgradesList *list);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Where a row's Upgrade button is, in the row's rectangle.
    QRectF buttonRect(const QRectF &rowRect) const;
    int rowHeight() const;

private:
    struct Texts {
        QStaticText name;
        QStaticText installed;
        QStaticText latest;
        qreal installedAdvance = 0;
    };
    void refresh(qreal ratio) const;

    const Localizer &m_l;
    UpgradesList *m_list;

    mutable QFont m_base;
    mutable std::optional<AppLanguage> m_language;
    mutable qreal m_ratio = 0;
    mutable QFont m_nameFont;
    mutable QFont m_monoFont;
    mutable QFont m_buttonFont;
    mutable std::optional<QFontMetricsF> m_nameMetrics;
    mutable std::optional<QFontMetricsF> m_monoMetrics;
    mutable std::optional<QFontMetricsF> m_buttonMetrics;
    mutable QStaticText m_buttonText;
    mutable qreal m_buttonWidth = 0;
    mutable QPixmap m_arrowUp;
    mutable QPixmap m_arrowRight;
    mutable QColor m_arrowColour;
    mutable QHash<int, Texts> m_texts;
    mutable const void *m_textsFor = nullptr;
    mutable int m_textsWidth = -1;
};

} // namespace ReveZE
