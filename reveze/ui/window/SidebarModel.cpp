#include "window/SidebarModel.h"

#include "AppModel.h"
#include "Localizer.h"

namespace ReveZE {

SidebarModel::SidebarModel(AppModel &model, Localizer &l, QObject *parent)
    : QAbstractListModel(parent), m_model(model), m_l(l)
{
    connect(&m_model, &AppModel::outdatedChanged, this, [this] {
        const QModelIndex upgrades = indexOf(SidebarItem::Upgrades);
        Q_EMIT dataChanged(upgrades, upgrades);
    });
    connect(&m_l, &Localizer::languageChanged, this, [this] {
        Q_EMIT dataChanged(index(0), index(rowCount() - 1));
    });
}

int SidebarModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(allSidebarItems().size());
}

QModelIndex SidebarModel::indexOf(SidebarItem item) const
{
    return index(int(allSidebarItems().indexOf(item)));
}

SidebarItem SidebarModel::itemAt(const QModelIndex &index)
{
    return allSidebarItems().at(index.row());
}

QVariant SidebarModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const SidebarItem item = itemAt(index);
    const bool hasBadge = item == SidebarItem::Upgrades && !m_model.outdated().isEmpty();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_l(titleKey(item));
    case Qt::AccessibleTextRole:
        return hasBadge ? m_l(titleKey(item)) + QStringLiteral(", ") + QString::number(m_model.outdated().size())
                        : m_l(titleKey(item));
    case ItemRole:
        return int(item);
    case SymbolRole:
        return symbolName(item);
    case BadgeRole:
        if (hasBadge)
            return QString::number(m_model.outdated().size());
        return {};
    default:
        return {};
    }
}

} // namespace ReveZE
