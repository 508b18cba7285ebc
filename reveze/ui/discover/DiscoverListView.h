#pragma once

// The screen of the Discover section: every package of the index in zelk's
// order, narrowed by a search on name and description typed into a field
// the window puts in its toolbar. Selecting a row selects the package for
// the whole window, installed or not. The screen only reads the model.
//
// Its search starts empty each time the window makes it; the selection is
// the window's and survives resets of the list. At 100,000 packages a
// keystroke costs one pass over the catalog's fold (CatalogFoldCache), one
// model reset and a layout whose row heights are lookups.

#include "window/NavigationScreen.h"

#include <Models.h>

#include <QList>
#include <QPointer>

#include <optional>

class QLabel;
#include <QAction>
#include <QLineEdit>
class QListView;
class QShortcut;

namespace ReveZE {

class AppModel;
class CatalogFoldCache;
class DiscoverListModel;
class DiscoverRowDelegate;
class Localizer;

class DiscoverListView : public NavigationScreen
{
    Q_OBJECT

public:
    DiscoverListView(AppModel &model, Localizer &l, std::optional<QString> selection, QWidget *parent = nullptr);
    ~DiscoverListView() override;

    // The packages that match: zelk's order kept; for a non-empty search,
    // those whose name, or else description, contains it case-insensitively
    // (the text as typed, blanks included).
    static QList<ZelkKit::CatalogPackage> filtered(const QList<ZelkKit::CatalogPackage> &packages,
                                                   const QString &search);

    const QString &search() const { return m_search; }
    void setSearch(const QString &search);
    bool isSearchFocused() const;
    void focusSearch();

    const std::optional<QString> &selection() const { return m_selection; }
    void setSelectedPackage(const std::optional<QString> &name) override;

    QString navigationTitle() const override;
    QWidget *toolbarWidget() const override;

    bool showsSpinner() const;
    bool showsNoResults() const;
    // Whether searches run over the fold of the shown catalog yet.
    bool isFoldReady() const;

    QLineEdit *searchField() const { return m_searchField; }
    QListView *list() const { return m_list; }
    DiscoverListModel *listModel() const { return m_listModel; }
    DiscoverRowDelegate *delegate() const { return m_delegate; }
    QWidget *spinnerOverlay() const { return m_spinnerOverlay; }
    QWidget *noResults() const { return m_noResults; }
    QLabel *noResultsTitle() const { return m_noResultsTitle; }
    QLabel *noResultsDetail() const { return m_noResultsDetail; }

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildListArea();
    void render();
    void renderTexts();
    void syncListSelection();
    void onCatalogChanged();
    void onFoldReady();
    void onSearchAnswered();
    void relayoutKeepingPosition();

    AppModel &m_model;
    Localizer &m_l;
    CatalogFoldCache &m_cache;

    std::optional<QString> m_selection;
    QString m_search;

    QPointer<QLineEdit> m_searchField;
    QAction *m_searchAction = nullptr;
    QListView *m_list = nullptr;
    DiscoverListModel *m_listModel = nullptr;
    DiscoverRowDelegate *m_delegate = nullptr;
    QWidget *m_spinnerOverlay = nullptr;
    QLabel *m_spinnerLabel = nullptr;
    QWidget *m_noResults = nullptr;
    QLabel *m_noResultsTitle = nullptr;
    QLabel *m_noResultsDetail = nullptr;
    QShortcut *m_findShortcut = nullptr;
    int m_laidOutWidth = -1;
    bool m_relayoutPending = false;
    bool m_syncing = false;
};

} // namespace ReveZE
