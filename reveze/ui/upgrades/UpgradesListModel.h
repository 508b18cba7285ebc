#pragma once

// The rows of the Upgrades list: the model's outdated packages in zelk's
// order. An equal list changes nothing; another one resets the model once.

#include <Models.h>

#include <QAbstractListModel>
#include <QList>

namespace ReveZE {

class Localizer;

class UpgradesListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        NameRole = Qt::UserRole + 1,
        InstalledRole,
        LatestRole,
        // "Upgrade ‹name›": what the row's button is called.
        UpgradeActionRole,
    };

    explicit UpgradesListModel(const Localizer &l, QObject *parent = nullptr);

    bool setItems(QList<ZelkKit::OutdatedItem> items);
    const QList<ZelkKit::OutdatedItem> &items() const { return m_items; }
    const ZelkKit::OutdatedItem &itemAt(int row) const { return m_items[row]; }
    int rowOf(const QString &name) const;

    // "Upgrade ffmpeg" / "升级 ffmpeg".
    QString upgradeActionName(int row) const;
    // "6.0 → 6.1".
    QString versionsText(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    const Localizer &m_l;
    QList<ZelkKit::OutdatedItem> m_items;
};

} // namespace ReveZE
