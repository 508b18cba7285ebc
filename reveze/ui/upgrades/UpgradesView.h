#pragma once

// The screen of the Upgrades section: the installed packages the index has
// a newer version of, each with its installed and latest version and an
// Upgrade button, under a header with their count and Upgrade all; a green
// seal when everything is up to date. Every time it is shown it asks the
// model for the outdated list again. Upgrading is the install sheet's work:
// the buttons ask the window to open it in upgrade mode, for one package
// (upgrade-all off) or for all (an empty name, upgrade-all on).

#include "window/NavigationScreen.h"

#include <qcoro/qcorotask.h>

#include <optional>

class QLabel;
class QPushButton;
class QStackedWidget;

namespace ReveZE {

class AppModel;
class Localizer;
class UpgradesList;
class UpgradesListModel;

class UpgradesView : public NavigationScreen
{
    Q_OBJECT

public:
    UpgradesView(AppModel &model, Localizer &l, QWidget *parent = nullptr);
    ~UpgradesView() override;

    QString navigationTitle() const override;

    // The last request: the package a single upgrade is for (none for
    // Upgrade all), and whether it was Upgrade all.
    const std::optional<QString> &target() const { return m_target; }
    bool upgradingAll() const { return m_upgradingAll; }

    void upgrade(const QString &name);
    void upgradeAll();

    bool showsSeal() const;

    QLabel *titleLabel() const { return m_title; }
    QLabel *countLabel() const { return m_count; }
    QPushButton *upgradeAllButton() const { return m_upgradeAll; }
    UpgradesList *list() const { return m_list; }
    UpgradesListModel *listModel() const { return m_listModel; }
    QWidget *seal() const { return m_seal; }

protected:
    void appeared() override;
    void changeEvent(QEvent *event) override;

private:
    QCoro::Task<> loadOutdated();
    void onOutdatedChanged();
    void render();
    void renderTexts();

    AppModel &m_model;
    Localizer &m_l;
    std::optional<QString> m_target;
    bool m_upgradingAll = false;
    int m_loads = 0;

    QLabel *m_title = nullptr;
    QLabel *m_count = nullptr;
    QPushButton *m_upgradeAll = nullptr;
    QStackedWidget *m_stack = nullptr;
    UpgradesList *m_list = nullptr;
    UpgradesListModel *m_listModel = nullptr;
    QWidget *m_seal = nullptr;
    QLabel *m_sealLabel = nullptr;
};

} // namespace ReveZE
