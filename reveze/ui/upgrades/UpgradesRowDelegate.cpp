#include "upgrades/UpgradesRowDelegate.h"

#include "Localizer.h"
#include "installed/PackageRowStyle.h"
#include "upgrades/UpgradesList.h"
#include "upgrades/UpgradesListModel.h"
#include "widgets/Palette.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>

#include <cmath>

namespace ReveZE {

namespace {

constexpr qreal listPadding = 4;
constexpr qreal rowPadding = 2;
constexpr qreal inset = 10;
constexpr qreal contentInset = 8;
constexpr qreal spacing = 12;
constexpr qreal lineGap = 2;
constexpr qreal versionGap = 6;
constexpr qreal buttonHPadding = 10;
constexpr qreal buttonHeight = 22;
constexpr qreal buttonRadius = 5;

qreal arrowSide() { return TextStyles::size(TextStyle::Body) * 1.45; }
qreal smallArrowSide() { return TextStyles::size(TextStyle::Caption2); }

QPixmap symbolImage(QStringView name, const QColor &colour, qreal side, qreal size, qreal ratio)
{
    const int pixels = qMax(1, qRound(side * ratio));
    QPixmap pixmap(pixels, pixels);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    Symbols::paint(painter, QRectF(0, 0, side, side), name, colour, size);
    return pixmap;
}

} // namespace

UpgradesRowDelegate::UpgradesRowDelegate(const Localizer &l, UpgradesList *list)
    : QStyledItemDelegate(list), m_l(l), m_list(list)
{
    refresh(1);
}

void UpgradesRowDelegate::refresh(qreal ratio) const
{
    if (ratio <= 0)
        ratio = m_ratio > 0 ? m_ratio : 1;
    const QFont base = QApplication::font();
    const bool fontChanged = !m_nameMetrics || base != m_base;
    const bool languageChanged = fontChanged || m_language != m_l.language();
    const bool ratioChanged = fontChanged || ratio != m_ratio;
    if (fontChanged) {
        m_base = base;
        m_nameFont = TextStyles::font(TextStyle::Body, QFont::DemiBold);
        m_monoFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        m_monoFont.setPointSizeF(TextStyles::size(TextStyle::Caption));
        m_buttonFont = TextStyles::font(TextStyle::Callout);
        m_nameMetrics.emplace(m_nameFont);
        m_monoMetrics.emplace(m_monoFont);
        m_buttonMetrics.emplace(m_buttonFont);
    }
    if (languageChanged) {
        m_language = m_l.language();
        const QString text = m_l(L::upgradeAction);
        m_buttonText = preparedText(text, m_buttonFont);
        m_buttonWidth = m_buttonMetrics->horizontalAdvance(text) + 2 * buttonHPadding;
    }
    if (ratioChanged) {
        m_ratio = ratio;
        m_arrowUp = symbolImage(u"arrow.up.circle.fill", Palette::orange(), arrowSide(), arrowSide(), m_ratio);
    }
    if (fontChanged || languageChanged)
        m_texts.clear();
}

int UpgradesRowDelegate::rowHeight() const
{
    const qreal column = m_nameMetrics->height() + lineGap + m_monoMetrics->height();
    const qreal content = qMax(column, qMax(buttonHeight, arrowSide()));
    return int(std::ceil(2 * (listPadding + rowPadding) + content));
}

QRectF UpgradesRowDelegate::buttonRect(const QRectF &rowRect) const
{
    refresh(0);
    const qreal right = rowRect.right() - inset - contentInset;
    return {right - m_buttonWidth, rowRect.center().y() - buttonHeight / 2, m_buttonWidth, buttonHeight};
}

QSize UpgradesRowDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    refresh(0);
    return {200, rowHeight()};
}

void UpgradesRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const UpgradesListModel *>(index.model());
    if (!model)
        return;
    refresh(painter->device() ? painter->device()->devicePixelRatioF() : 1);
    const QRectF rect(option.rect);
    const QPalette &palette = option.palette;
    const QRectF background = rect.adjusted(inset, 1, -inset, -1);
    const QRectF button = buttonRect(rect);
    const qreal side = arrowSide();
    const QRectF arrow(background.left() + contentInset, rect.center().y() - side / 2, side, side);
    const qreal column = arrow.right() + spacing;
    const qreal textWidth = qMax<qreal>(0, button.left() - spacing - column);
    const qreal columnHeight = m_nameMetrics->height() + lineGap + m_monoMetrics->height();
    const qreal top = rect.center().y() - columnHeight / 2;

    if (model->items().constData() != m_textsFor || option.rect.width() != m_textsWidth || m_texts.size() > 1024) {
        m_texts.clear();
        m_textsFor = model->items().constData();
        m_textsWidth = option.rect.width();
    }
    auto it = m_texts.constFind(index.row());
    if (it == m_texts.cend()) {
        const ZelkKit::OutdatedItem &item = model->itemAt(index.row());
        Texts texts;
        texts.name = preparedText(m_nameMetrics->elidedText(item.name, Qt::ElideRight, textWidth), m_nameFont);
        const qreal half = qMax<qreal>(0, (textWidth - smallArrowSide() - 2 * versionGap) / 2);
        const QString installed = m_monoMetrics->elidedText(item.installed, Qt::ElideRight, half);
        texts.installed = preparedText(installed, m_monoFont);
        texts.installedAdvance = m_monoMetrics->horizontalAdvance(installed);
        texts.latest = preparedText(m_monoMetrics->elidedText(item.latest, Qt::ElideRight, half), m_monoFont);
        it = m_texts.insert(index.row(), texts);
    }

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const bool current = m_list->hasFocus() && m_list->currentIndex() == index;
    if (current) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(Palette::quaternaryFill(palette));
        painter->drawRoundedRect(background, PackageRowStyle::selectionRadius, PackageRowStyle::selectionRadius);
    }
    painter->drawPixmap(arrow.topLeft(), m_arrowUp);

    painter->setFont(m_nameFont);
    painter->setPen(Palette::label(palette));
    painter->drawStaticText(QPointF(column, top), it->name);

    const qreal versionTop = top + m_nameMetrics->height() + lineGap;
    painter->setFont(m_monoFont);
    painter->setPen(Palette::zelkSecondary(palette));
    painter->drawStaticText(QPointF(column, versionTop), it->installed);
    const qreal small = smallArrowSide();
    const QPointF arrowAt(column + it->installedAdvance + versionGap,
                          versionTop + (m_monoMetrics->height() - small) / 2);
    // The arrow in the secondary colour, redrawn only when that changes.
    const QColor secondary = Palette::zelkSecondary(palette);
    if (secondary != m_arrowColour || m_arrowRight.devicePixelRatio() != m_ratio) {
        m_arrowColour = secondary;
        m_arrowRight = symbolImage(u"arrow.right", secondary, small, small, m_ratio);
    }
    painter->drawPixmap(arrowAt, m_arrowRight);
    painter->setPen(Palette::green());
    painter->drawStaticText(QPointF(arrowAt.x() + small + versionGap, versionTop), it->latest);

    // The button: pressed darker, a focus ring on the current row while the
    // list has the keyboard.
    const bool pressed = m_list->pressedRow() == index.row();
    const bool hovered = m_list->hoveredRow() == index.row();
    QColor fill = palette.color(QPalette::Button);
    if (pressed)
        fill = fill.darker(118);
    else if (hovered)
        fill = fill.lighter(106);
    painter->setBrush(fill);
    painter->setPen(QPen(palette.color(QPalette::Mid), 1));
    painter->drawRoundedRect(button.adjusted(0.5, 0.5, -0.5, -0.5), buttonRadius, buttonRadius);
    if (current) {
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(Palette::accent(palette), 2));
        painter->drawRoundedRect(button.adjusted(-1, -1, 1, 1), buttonRadius + 1, buttonRadius + 1);
    }
    painter->setFont(m_buttonFont);
    painter->setPen(palette.color(QPalette::ButtonText));
    const QSizeF size = m_buttonText.size();
    painter->drawStaticText(QPointF(button.center().x() - size.width() / 2, button.center().y() - size.height() / 2),
                            m_buttonText);
    painter->restore();
}

} // namespace ReveZE
