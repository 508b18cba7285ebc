#pragma once

#include "window/SidebarItem.h"

#include <QAbstractListModel>

namespace ReveZE {

class AppModel;
class Localizer;

// The rows of the sidebar: one per section, with its title in the language
// in use and, on the Upgrades row only, the number of outdated packages as a
// badge while there are any.
class SidebarModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        ItemRole = Qt::UserRole + 1, // SidebarItem as int
        SymbolRole,                  // symbol name
        BadgeRole,                   // badge text, or no value without a badge
    };

    SidebarModel(AppModel &model, Localizer &l, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    QModelIndex indexOf(SidebarItem item) const;
    static SidebarItem itemAt(const QModelIndex &index);

private:
    AppModel &m_model;
    Localizer &m_l;
};

} // namespace ReveZE
