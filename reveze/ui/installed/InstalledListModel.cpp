#include "installed/InstalledListModel.h"

#include "Localizer.h"

using ZelkKit::InstalledDetail;

namespace ReveZE {

InstalledListModel::InstalledListModel(const Localizer &l, QObject *parent)
    : QAbstractListModel(parent), m_l(l)
{
}

QString InstalledListModel::folded(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (char32_t codePoint : text.toUcs4()) {
        const char32_t fold = QChar::toCaseFolded(codePoint);
        if (QChar::requiresSurrogates(fold)) {
            result.append(QChar(QChar::highSurrogate(fold)));
            result.append(QChar(QChar::lowSurrogate(fold)));
        } else {
            result.append(QChar(char16_t(fold)));
        }
    }
    return result;
}

QList<int> InstalledListModel::visibleRows(const QList<InstalledDetail> &packages, const QStringList &foldedNames,
                                           InstalledFilter filter, bool hideDependencies, const QString &search)
{
    const QString needle = search.isEmpty() ? QString() : folded(search);
    QList<int> rows;
    rows.reserve(packages.size());
    for (qsizetype i = 0; i < packages.size(); ++i) {
        const bool isDependency = packages[i].kind == InstalledDetail::Kind::Dependency;
        if (hideDependencies && isDependency)
            continue;
        if (filter == InstalledFilter::Packages && isDependency)
            continue;
        if (filter == InstalledFilter::Dependencies && !isDependency)
            continue;
        if (!needle.isEmpty() && !foldedNames[i].contains(needle, Qt::CaseSensitive))
            continue;
        rows.append(int(i));
    }
    return rows;
}

bool InstalledListModel::setPackages(QList<InstalledDetail> packages)
{
    if (packages == m_packages)
        return false;
    ++m_generation;
    m_packages = std::move(packages);
    m_folded.clear();
    m_folded.reserve(m_packages.size());
    for (const InstalledDetail &package : std::as_const(m_packages))
        m_folded.append(folded(package.name));
    recompute();
    return true;
}

void InstalledListModel::setQuery(InstalledFilter filter, bool hideDependencies, const QString &search)
{
    if (filter == m_filter && hideDependencies == m_hideDependencies && search == m_search)
        return;
    m_filter = filter;
    m_hideDependencies = hideDependencies;
    m_search = search;
    recompute();
}

void InstalledListModel::recompute()
{
    beginResetModel();
    m_rows = visibleRows(m_packages, m_folded, m_filter, m_hideDependencies, m_search);
    endResetModel();
}

void InstalledListModel::setSelectedName(const std::optional<QString> &name)
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

int InstalledListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

const InstalledDetail &InstalledListModel::packageAt(int row) const
{
    return m_packages[m_rows[row]];
}

bool InstalledListModel::isSelected(int row) const
{
    return m_selectedName && packageAt(row).name == *m_selectedName;
}

int InstalledListModel::rowOf(const QString &name) const
{
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        if (m_packages[m_rows[row]].name == name)
            return int(row);
    }
    return -1;
}

QVariant InstalledListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const InstalledDetail &package = packageAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return package.name;
    case Qt::AccessibleTextRole:
        return package.name + QStringLiteral(", ")
            + m_l(package.kind == InstalledDetail::Kind::Dependency ? L::kindDependency : L::kindPackage)
            + QStringLiteral(", v") + package.version;
    case IsSelectedRole:
        return isSelected(index.row());
    case IsDependencyRole:
        return package.kind == InstalledDetail::Kind::Dependency;
    default:
        return {};
    }
}

} // namespace ReveZE
