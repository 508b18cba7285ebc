#include "upgrades/UpgradesListModel.h"

#include "Localizer.h"

using ZelkKit::OutdatedItem;

namespace ReveZE {

UpgradesListModel::UpgradesListModel(const Localizer &l, QObject *parent)
    : QAbstractListModel(parent), m_l(l)
{
}

bool UpgradesListModel::setItems(QList<OutdatedItem> items)
{
    if (items == m_items)
        return false;
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
    return true;
}

int UpgradesListModel::rowOf(const QString &name) const
{
    for (qsizetype row = 0; row < m_items.size(); ++row) {
        if (m_items[row].name == name)
            return int(row);
    }
    return -1;
}

QString UpgradesListModel::upgradeActionName(int row) const
{
    return m_l(L::upgradeAction) + QLatin1Char(' ') + m_items[row].name;
}

QString UpgradesListModel::versionsText(int row) const
{
    return m_items[row].installed + QStringLiteral(" → ") + m_items[row].latest;
}

int UpgradesListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant UpgradesListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const OutdatedItem &item = m_items[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return item.name;
    case InstalledRole:
        return item.installed;
    case LatestRole:
        return item.latest;
    case Qt::AccessibleTextRole:
    case UpgradeActionRole:
        return upgradeActionName(index.row());
    case Qt::AccessibleDescriptionRole:
        return item.name + QLatin1Char(' ') + versionsText(index.row());
    default:
        return {};
    }
}

} // namespace ReveZE
