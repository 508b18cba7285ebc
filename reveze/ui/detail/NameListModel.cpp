#include "detail/NameListModel.h"

namespace ReveZE {

void NameListModel::setNames(const QStringList &names)
{
    if (names == m_names)
        return;
    beginResetModel();
    m_names = names;
    endResetModel();
}

int NameListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant NameListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_names.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        return m_names.at(index.row());
    default:
        return {};
    }
}

} // namespace ReveZE
