#pragma once

// The rows of the Installed list: the packages of the install status that
// pass the filter, the hide-dependencies switch and the search, in zelk's
// order. The folded names are computed once per install status, so a
// keystroke costs one pass of plain substring tests; every change of the
// packages or the query resets the model once.

#include "installed/InstalledFilter.h"

#include <InstallStatus.h>

#include <QAbstractListModel>
#include <QList>
#include <QStringList>

#include <optional>

namespace ReveZE {

class Localizer;

class InstalledListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        NameRole = Qt::UserRole + 1,
        IsSelectedRole,
        IsDependencyRole,
    };

    explicit InstalledListModel(const Localizer &l, QObject *parent = nullptr);

    // A new install status's packages. Packages equal to the shown ones
    // (a refresh that changed nothing) leave the model alone; false then.
    bool setPackages(QList<ZelkKit::InstalledDetail> packages);
    // Resets only when the query differs.
    void setQuery(InstalledFilter filter, bool hideDependencies, const QString &search);
    // The row whose name this is shows as selected.
    void setSelectedName(const std::optional<QString> &name);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    const ZelkKit::InstalledDetail &packageAt(int row) const;
    // The index of a row's package among all the packages.
    int packageIndexAt(int row) const { return m_rows[row]; }
    // Bumped whenever the packages change (what painted texts are kept for).
    quint64 packagesGeneration() const { return m_generation; }
    bool isSelected(int row) const;
    // The row showing that package, or -1 when it is filtered out or absent.
    int rowOf(const QString &name) const;
    int totalCount() const { return int(m_packages.size()); }

    // The text searches compare: every code point case-folded on its own,
    // as Qt's case-insensitive comparison does, so a folded haystack
    // contains a folded needle exactly when the original contains it
    // case-insensitively.
    static QString folded(QStringView text);
    // The indices of the packages that pass, in order, over folded names.
    static QList<int> visibleRows(const QList<ZelkKit::InstalledDetail> &packages, const QStringList &foldedNames,
                                  InstalledFilter filter, bool hideDependencies, const QString &search);

private:
    void recompute();

    const Localizer &m_l;
    QList<ZelkKit::InstalledDetail> m_packages;
    QStringList m_folded;
    QList<int> m_rows;
    quint64 m_generation = 0;
    InstalledFilter m_filter = InstalledFilter::All;
    bool m_hideDependencies = false;
    QString m_search;
    std::optional<QString> m_selectedName;
};

} // namespace ReveZE
