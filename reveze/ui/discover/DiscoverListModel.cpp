#include "discover/DiscoverListModel.h"

#include "Localizer.h"
#include "ReleaseOffThread.h"

#include <WorkerPool.h>

#include <QFuture>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>

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

bool DiscoverListModel::searchesAway(qsizetype packages, const QString &search) const
{
    return !search.isEmpty() && packages > synchronousLimit;
}

void DiscoverListModel::show(QList<CatalogPackage> packages, quint64 generation, QString search, QList<int> rows)
{
    beginResetModel();
    if (generation != m_generation || packages.size() != m_packages.size())
        releaseOffThread(std::move(m_fold));
    QList<CatalogPackage> old = std::exchange(m_packages, std::move(packages));
    m_generation = generation;
    m_search = std::move(search);
    m_rows = std::move(rows);
    endResetModel();
    // The model may have let these go long ago.
    releaseOffThread(std::move(old));
}

bool DiscoverListModel::setPackages(QList<CatalogPackage> packages, quint64 generation)
{
    const QList<CatalogPackage> &latest = m_pendingPackages ? m_pendingPackages->first : m_packages;
    if (packages.isSharedWith(latest) || packages == latest) {
        // The same records under a new catalog count: the fold of that
        // catalog will fit them too.
        if (m_pendingPackages) {
            m_pendingPackages->second = generation;
        } else {
            if (m_fold && m_fold->generation != generation)
                releaseOffThread(std::move(m_fold));
            m_generation = generation;
        }
        return false;
    }
    m_pendingTicket = 0;
    m_pendingPackages.reset();
    if (searchesAway(packages.size(), m_wanted)) {
        // The shown rows stay until the new catalog's are known.
        m_pendingPackages.emplace(packages, generation);
        [[maybe_unused]] QCoro::Task<> task = searchAway(std::move(packages), generation, m_wanted, std::nullopt);
        return true;
    }
    const QList<int> rows = CatalogSearch::matching(packages, m_wanted, nullptr);
    show(std::move(packages), generation, m_wanted, rows);
    return true;
}

void DiscoverListModel::setFold(std::shared_ptr<const CatalogFold> fold)
{
    if (!fold)
        return;
    if (m_pendingPackages) {
        // The new catalog's fold came before its rows: it answers them now.
        if (fold->generation != m_pendingPackages->second || fold->size() != m_pendingPackages->first.size())
            return;
        auto [packages, generation] = std::move(*m_pendingPackages);
        m_pendingPackages.reset();
        m_pendingTicket = 0;
        const QList<int> rows = CatalogSearch::matching(*fold, m_wanted);
        show(std::move(packages), generation, m_wanted, rows);
        m_fold = std::move(fold);
        Q_EMIT searchAnswered();
        return;
    }
    if (fold->generation != m_generation || fold->size() != m_packages.size())
        return;
    m_fold = std::move(fold);
    if (m_pendingTicket != 0) {
        // A search was on its way: the fold answers it at once.
        m_pendingTicket = 0;
        show(m_packages, m_generation, m_wanted, CatalogSearch::matching(*m_fold, m_wanted));
        Q_EMIT searchAnswered();
    }
}

void DiscoverListModel::setSearch(const QString &search)
{
    if (search == m_wanted && !(m_pendingTicket == 0 && search != m_search))
        return;
    m_wanted = search;
    m_pendingTicket = 0;
    if (m_pendingPackages) {
        auto [packages, generation] = *m_pendingPackages;
        if (searchesAway(packages.size(), search)) {
            [[maybe_unused]] QCoro::Task<> task = searchAway(std::move(packages), generation, search, std::nullopt);
            return;
        }
        m_pendingPackages.reset();
        const QList<int> rows = CatalogSearch::matching(packages, search, nullptr);
        show(std::move(packages), generation, search, rows);
        return;
    }
    if (search == m_search)
        return;
    // Whatever contains the new text contains the old one too, when the new
    // text (folded) contains the old: only the old rows can still match.
    const bool narrows = !m_search.isEmpty() && CatalogSearch::fold(search).contains(CatalogSearch::fold(m_search));
    if (!m_fold && searchesAway(m_packages.size(), search)) {
        [[maybe_unused]] QCoro::Task<> task =
            searchAway(m_packages, m_generation, search, narrows ? std::optional<QList<int>>(m_rows) : std::nullopt);
        return;
    }
    QList<int> rows = rowsFor(search, narrows ? &m_rows : nullptr);
    beginResetModel();
    m_search = search;
    m_rows = std::move(rows);
    endResetModel();
}

QCoro::Task<> DiscoverListModel::searchAway(QList<CatalogPackage> packages, quint64 generation, QString search,
                                            std::optional<QList<int>> within)
{
    const quint64 ticket = ++m_tickets;
    m_pendingTicket = ticket;
    QPointer<DiscoverListModel> self(this);
    // The worker holds its own reference to the records: if the model moves
    // on meanwhile, they are let go there.
    QFuture<QList<int>> searching =
        ZelkKit::runInBackground([packages, search, within = std::move(within)]() mutable {
            QList<int> rows = CatalogSearch::matching(packages, search, within ? &*within : nullptr);
            packages = {};
            return rows;
        });
    QList<int> rows = co_await searching;
    if (!self || self->m_pendingTicket != ticket) {
        releaseOffThread(std::move(packages));
        co_return;
    }
    self->m_pendingTicket = 0;
    self->m_pendingPackages.reset();
    self->show(std::move(packages), generation, std::move(search), std::move(rows));
    Q_EMIT self->searchAnswered();
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
