#pragma once

// The rows of the Discover list: the packages of the index that match the
// search, in zelk's order (CatalogSearch). New packages reset the model
// once, and only when they differ from the shown ones; a new search text
// resets it once, narrowing the previous rows while the text only grows.

#include "discover/CatalogSearch.h"

#include <Models.h>

#include <QAbstractListModel>
#include <QList>

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

    // The index's packages, of catalog `generation` (CatalogFoldCache).
    // Packages equal to the shown ones change nothing; false then.
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

private:
    QList<int> rowsFor(const QString &search, const QList<int> *within) const;

    const Localizer &m_l;
    QList<ZelkKit::CatalogPackage> m_packages;
    quint64 m_generation = 0;
    std::shared_ptr<const CatalogFold> m_fold;
    QString m_search;
    QList<int> m_rows;
    std::optional<QString> m_selectedName;
};

} // namespace ReveZE
