#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace ReveZE {

// The names one of the detail's boxes lists (dependency entries as zelk
// printed them, or the packages that depend on this one). Setting the same
// names again changes nothing, so a refresh that leaves them alone does not
// reset the list.
class NameListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void setNames(const QStringList &names);
    const QStringList &names() const { return m_names; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QStringList m_names;
};

} // namespace ReveZE
