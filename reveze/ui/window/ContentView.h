#pragma once

// ReveZE's window: a toolbar with Install and Refresh; three columns side
// by side (the sidebar with the sections and the language picker, the screen
// of the chosen section, and the detail of the chosen package); and a status
// bar across the foot. It owns the window's four values (the section, the
// selected package shared by the lists, and the install sheet's flag and
// package name), the install sheet and the alert that shows the model's
// error message. Its first appearance asks the model for a refresh.

#include "window/SidebarItem.h"

#include <ZelkOperation.h>

#include <QDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

class QAction;
class QHBoxLayout;
class QListView;
class QSplitter;
class QToolBar;
class QToolButton;

namespace ReveZE {

class AppModel;
class LanguagePicker;
class Localizer;
class NavigationScreen;
class SidebarModel;
class StatusBar;

class ContentView : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr QSize defaultSize{1120, 720};
    static constexpr int sidebarMinimumWidth = 180;
    static constexpr int sidebarIdealWidth = 200;
    static constexpr int sidebarMaximumWidth = 260;
    // The least the other two columns keep; a screen that needs more to show
    // all of its controls keeps what it needs.
    static constexpr int contentMinimumWidth = 320;
    static constexpr int detailMinimumWidth = 300;

    ContentView(AppModel &model, Localizer &l, QWidget *parent = nullptr);
    ~ContentView() override;

    // The selected sidebar row; no value when the user cleared it (the
    // Installed list is shown then).
    const std::optional<SidebarItem> &section() const { return m_section; }
    void setSection(std::optional<SidebarItem> section);
    // The package selected in the Installed or the Discover list.
    const std::optional<QString> &selectedPackage() const { return m_selectedPackage; }
    void setSelectedPackage(std::optional<QString> name);
    bool showingInstall() const { return m_showingInstall; }
    const QString &installTarget() const { return m_installTarget; }

    // The toolbar's actions. Install opens the sheet for the selected package
    // (or an empty name), to install.
    void install();
    void refresh();

    // The one place the install sheet is made, for the toolbar and for the
    // screens (installRequested). While a sheet is open another request does
    // nothing: the sheet is modal and owns its run.
    void openInstallSheet(const QString &packageName, ZelkKit::ZelkOperation operation, bool upgradeAll);

    // How a section's screen is made; tests and embedders may put their own
    // screens in the content column. The default makes the real screens.
    using ScreenMaker = std::function<NavigationScreen *(SidebarItem section, QWidget *parent)>;
    void setScreenMaker(ScreenMaker maker);

    // The title the title bar shows: the package's name while the detail
    // shows one, else the section screen's title.
    QString navigationTitle() const;

    // The window's tab stops in the order Tab visits them: the sidebar column
    // (the sections, then the language picker), the shown screen (its
    // toolbar widget first), the detail, then Install and Refresh; within
    // each, in reading order (FocusOrder). `alsoInclude` is placed where it
    // is shown even if it takes no Tab.
    QList<QWidget *> tabOrder(const QWidget *alsoInclude = nullptr) const;

    QListView *sidebar() const { return m_sidebar; }
    SidebarModel *sidebarModel() const { return m_sidebarModel; }
    LanguagePicker *languagePicker() const { return m_languagePicker; }
    StatusBar *statusRow() const { return m_statusBar; }
    QSplitter *columns() const { return m_columns; }
    QAction *installAction() const { return m_installAction; }
    QAction *refreshAction() const { return m_refreshAction; }
    QToolButton *installButton() const;
    QToolButton *refreshButton() const;
    QToolBar *toolbar() const { return m_toolbar; }
    // Where the shown screen's toolbar widget sits (empty without one).
    QWidget *screenToolbarSlot() const { return m_screenSlot; }
    NavigationScreen *contentScreen() const { return m_contentScreen; }
    // The "Select a package" view without a selection, else the package's detail.
    QWidget *detailWidget() const { return m_detailWidget; }
    QMessageBox *alert() const { return m_alert; }
    QDialog *installSheet() const { return m_installSheet; }

Q_SIGNALS:
    void sectionChanged();
    void selectedPackageChanged();
    void showingInstallChanged();
    // The refresh of the first appearance has ended.
    void firstRefreshFinished();
    // The user closed the window.
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    QWidget *buildSidebarColumn();
    void buildToolbar();
    QCoro::Task<> firstLoad();
    QCoro::Task<> runRefresh();

    void render();
    void renderToolbar();
    void renderSidebar();
    void renderContent();
    void renderDetail();
    void renderAlert();
    void renderInstallSheet();
    void renderTitle();
    NavigationScreen *makeScreen(SidebarItem section, QWidget *parent);
    void takeScreenToolbarWidget();
    void takeKeysBack();

    AppModel &m_model;
    Localizer &m_l;

    std::optional<SidebarItem> m_section = SidebarItem::Installed;
    std::optional<QString> m_selectedPackage;
    bool m_showingInstall = false;
    QString m_installTarget;
    ZelkKit::ZelkOperation m_installOperation = ZelkKit::ZelkOperation::Install;
    bool m_installUpgradeAll = false;

    QSplitter *m_columns = nullptr;
    QWidget *m_sidebarColumn = nullptr;
    QListView *m_sidebar = nullptr;
    SidebarModel *m_sidebarModel = nullptr;
    LanguagePicker *m_languagePicker = nullptr;
    QWidget *m_contentColumn = nullptr;
    QWidget *m_detailColumn = nullptr;
    StatusBar *m_statusBar = nullptr;
    QAction *m_installAction = nullptr;
    QAction *m_refreshAction = nullptr;
    QToolBar *m_toolbar = nullptr;
    QWidget *m_screenSlot = nullptr;
    QHBoxLayout *m_screenSlotLayout = nullptr;
    QPointer<QWidget> m_screenToolbarWidget;
    ScreenMaker m_screenMaker;

    // What the content and detail columns show, and for which value.
    NavigationScreen *m_contentScreen = nullptr;
    std::optional<SidebarItem> m_contentFor;
    bool m_hasContent = false;
    QWidget *m_detailWidget = nullptr;
    std::optional<QString> m_detailFor;
    bool m_hasDetail = false;

    QPointer<QMessageBox> m_alert;
    QPointer<QDialog> m_installSheet;
    bool m_firstShown = false;
    bool m_syncingSidebar = false;
};

} // namespace ReveZE
