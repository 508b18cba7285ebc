#include "discover/DiscoverListModel.h"

#include "Localizer.h"

using ZelkKit::CatalogPackage;

namespace ReveZE {

DiscoverListModel::DiscoverListModel(const Localizer &l, QObject *parent)
    : QAbstractListModel(parent), m_l(l)
{
}

QList<int> DiscoverListModel::rowsFor(const QString &search, const QList<int> *within) const
{
    if (m_fold)
        return CatalogSearch::matching(*m_fold, search, within);
    return CatalogSearch::matching(m_packages, search, within);
}

bool DiscoverListModel::setPackages(QList<CatalogPackage> packages, quint64 generation)
{
    if (packages == m_packages) {
        // The same records under a new catalog count: the fold of that
        // catalog will fit them too.
        if (m_fold && m_fold->generation != generation)
            m_fold.reset();
        m_generation = generation;
        return false;
    }
    beginResetModel();
    m_packages = std::move(packages);
    m_generation = generation;
    m_fold.reset();
    m_rows = rowsFor(m_search, nullptr);
    endResetModel();
    return true;
}

void DiscoverListModel::setFold(std::shared_ptr<const CatalogFold> fold)
{
    if (fold && fold->generation == m_generation && fold->size() == m_packages.size())
        m_fold = std::move(fold);
}

void DiscoverListModel::setSearch(const QString &search)
{
    if (search == m_search)
        return;
    // Whatever contains the new text contains the old one too, when the new
    // text (folded) contains the old: only the old rows can still match.
    const bool narrows = !m_search.isEmpty() && CatalogSearch::fold(search).contains(CatalogSearch::fold(m_search));
    QList<int> rows = rowsFor(search, narrows ? &m_rows : nullptr);
    beginResetModel();
    m_search = search;
    m_rows = std::move(rows);
    endResetModel();
}

void DiscoverListModel::setSelectedName(const std::optional<QString> &name)
{
    if (m_selectedName == name)
        return;
    const int before = m_selectedName ? rowOf(*m_selectedName) : -1;
    m_selectedName = name;
    const int after = m_selectedName ? rowOf(*m_selectedName) : -1;
    for (int row : {before, after}) {
        if (row >= 0)
            Q_EMIT dataChanged(index(row), index(row));
    }
}

int DiscoverListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

bool DiscoverListModel::isSelected(int row) const
{
    return m_selectedName && packageAt(row).name == *m_selectedName;
}

int DiscoverListModel::rowOf(const QString &name) const
{
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        if (m_packages[m_rows[row]].name == name)
            return int(row);
    }
    return -1;
}

QVariant DiscoverListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const CatalogPackage &package = packageAt(index.row());
    const bool dependency = package.kind == CatalogPackage::Kind::Dependency;
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return package.name;
    case Qt::AccessibleTextRole: {
        QString text = package.name + QStringLiteral(", ") + m_l(dependency ? L::kindDependency : L::kindPackage);
        if (package.latest)
            text += QStringLiteral(", v") + *package.latest;
        return text;
    }
    case Qt::AccessibleDescriptionRole:
        return package.description.value_or(QString());
    case IsSelectedRole:
        return isSelected(index.row());
    case IsDependencyRole:
        return dependency;
    default:
        return {};
    }
}

} // namespace ReveZE
