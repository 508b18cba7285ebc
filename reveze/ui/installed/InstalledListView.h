#pragma once

// The screen of the Installed section: every package of the model's install
// status in zelk's order, narrowed by kind (the filter pills), by the
// hide-dependencies switch and by a search on the name. Selecting a row
// selects the package for the whole window. The screen only reads the model.
//
// Its own state (search, filter, switch, focus) starts afresh each time the
// window makes it; the selection is the window's and survives every reset of
// the list: a new install status, a filter or a search that hides the row.

#include "installed/InstalledFilter.h"
#include "window/NavigationScreen.h"

#include <InstallStatus.h>

#include <QList>

#include <optional>

class QLabel;
class QListView;
class QShortcut;

namespace ReveZE {

class AppIconView;
class AppModel;
class FilterPills;
class InstalledListModel;
class Localizer;
class ProgressSpinner;
class SearchBar;
class ToggleSwitch;

class InstalledListView : public NavigationScreen
{
    Q_OBJECT

public:
    using Filter = InstalledFilter;

    InstalledListView(AppModel &model, Localizer &l, std::optional<QString> selection, QWidget *parent = nullptr);
    ~InstalledListView() override;

    // The packages that pass: zelk's order kept; dependencies left out while
    // hideDependencies; then the filter's kind; then, for a non-empty search,
    // the names that contain it case-insensitively (the text as typed,
    // blanks included). No status: nothing.
    static QList<ZelkKit::InstalledDetail> visible(const std::optional<ZelkKit::InstallStatus> &status, Filter filter,
                                                   bool hideDependencies, const QString &search);

    const QString &search() const { return m_search; }
    void setSearch(const QString &search);
    Filter filter() const { return m_filter; }
    // Choosing Dependencies turns the switch off.
    void setFilter(Filter filter);
    bool hideDependencies() const { return m_hideDependencies; }
    void setHideDependencies(bool hide);
    bool isSearchFocused() const;
    void focusSearch();

    const std::optional<QString> &selection() const { return m_selection; }
    // The window's selection changed.
    void setSelectedPackage(const std::optional<QString> &name) override;

    QString navigationTitle() const override;

    // Whether the spinner or the empty state covers the list.
    bool showsSpinner() const;
    bool showsEmptyState() const;

    SearchBar *searchBar() const { return m_searchBar; }
    FilterPills *filterPills() const { return m_pills; }
    ToggleSwitch *hideDependenciesSwitch() const { return m_hideSwitch; }
    QLabel *countLabel() const { return m_count; }
    QListView *list() const { return m_list; }
    InstalledListModel *listModel() const { return m_listModel; }
    QWidget *spinnerOverlay() const { return m_spinnerOverlay; }
    QWidget *emptyState() const { return m_emptyState; }

protected:
    void changeEvent(QEvent *event) override;

private:
    QWidget *buildSearchRow();
    QWidget *buildHeader();
    QWidget *buildListArea();

    void render();
    void renderTexts();
    void syncListSelection();
    void onStatusChanged();

    AppModel &m_model;
    Localizer &m_l;

    std::optional<QString> m_selection;
    QString m_search;
    Filter m_filter = Filter::All;
    bool m_hideDependencies = false;

    SearchBar *m_searchBar = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_count = nullptr;
    FilterPills *m_pills = nullptr;
    ToggleSwitch *m_hideSwitch = nullptr;
    QLabel *m_hideLabel = nullptr;
    QListView *m_list = nullptr;
    InstalledListModel *m_listModel = nullptr;
    QWidget *m_spinnerOverlay = nullptr;
    QLabel *m_spinnerLabel = nullptr;
    QWidget *m_emptyState = nullptr;
    QLabel *m_emptyTitle = nullptr;
    QLabel *m_emptyDetail = nullptr;
    QShortcut *m_findShortcut = nullptr;
    bool m_syncing = false;
};

} // namespace ReveZE
