#pragma once

// The rows of the Discover list: the packages of the index that match the
// search, in zelk's order (CatalogSearch). New packages reset the model
// once, and only when they differ from the shown ones; a new search text
// resets it once, narrowing the previous rows while the text only grows.
//
// Until the fold of the packages is ready, a search of many packages
// compares the records themselves, which takes a large catalog far longer
// than a frame: it runs on the worker pool, the rows shown stay until its
// answer comes (a newer search or catalog drops an older answer), and a
// fold arriving meanwhile answers at once. searching() says whether rows
// are on their way; search() is the text the shown rows answer.

#include "discover/CatalogSearch.h"

#include <Models.h>

#include <QAbstractListModel>
#include <QList>

#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>

namespace ReveZE {

class Localizer;

class DiscoverListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        NameRole = Qt::UserRole + 1,
        IsSelectedRole,
        IsDependencyRole,
    };

    explicit DiscoverListModel(const Localizer &l, QObject *parent = nullptr);

    // Searches without a fold over more packages than this run off the GUI
    // thread.
    static constexpr qsizetype synchronousLimit = 2000;

    // The index's packages, of catalog `generation` (CatalogFoldCache).
    // Packages equal to the shown ones change nothing; false then. With a
    // search under way off the GUI thread, they are shown with its answer.
    bool setPackages(QList<ZelkKit::CatalogPackage> packages, quint64 generation);
    // The fold of the shown packages; a fold of other packages is ignored.
    // The rows stay: the fold answers every search as the records do.
    void setFold(std::shared_ptr<const CatalogFold> fold);
    // Resets once when the text differs.
    void setSearch(const QString &search);
    void setSelectedName(const std::optional<QString> &name);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    const QList<ZelkKit::CatalogPackage> &packages() const { return m_packages; }
    const ZelkKit::CatalogPackage &packageAt(int row) const { return m_packages[m_rows[row]]; }
    int packageIndexAt(int row) const { return m_rows[row]; }
    bool isSelected(int row) const;
    // The row showing that package, or -1.
    int rowOf(const QString &name) const;
    const CatalogFold *fold() const { return m_fold.get(); }
    // Bumped whenever the packages change.
    quint64 packagesGeneration() const { return m_generation; }
    const QString &search() const { return m_search; }
    // The text last asked for, whose rows may still be on their way.
    const QString &wantedSearch() const { return m_wanted; }
    bool searching() const { return m_pendingTicket != 0; }

Q_SIGNALS:
    // Rows searched off the GUI thread were shown (after the reset).
    void searchAnswered();

private:
    QList<int> rowsFor(const QString &search, const QList<int> *within) const;
    bool searchesAway(qsizetype packages, const QString &search) const;
    // Shows packages, catalog generation, search and its rows in one reset.
    void show(QList<ZelkKit::CatalogPackage> packages, quint64 generation, QString search, QList<int> rows);
    QCoro::Task<> searchAway(QList<ZelkKit::CatalogPackage> packages, quint64 generation, QString search,
                             std::optional<QList<int>> within);

    const Localizer &m_l;
    QList<ZelkKit::CatalogPackage> m_packages;
    quint64 m_generation = 0;
    std::shared_ptr<const CatalogFold> m_fold;
    QString m_search;
    QList<int> m_rows;
    // The latest search asked for, and the packages it is to run on (the
    // shown ones unless a new catalog waits for its rows).
    QString m_wanted;
    std::optional<std::pair<QList<ZelkKit::CatalogPackage>, quint64>> m_pendingPackages;
    // Counts searches sent off the GUI thread; the one under way, or 0.
    quint64 m_tickets = 0;
    quint64 m_pendingTicket = 0;
    std::optional<QString> m_selectedName;
};

} // namespace ReveZE
