#pragma once

// The screen of the Configuration section: what zelk actually uses. The
// install root (from the version record), every data source with its
// address, and the state of the local package index, which the user can
// refresh from here. The data sources and the index state are loaded when
// the screen appears while the model has no data sources; a later visit
// shows what the model holds and runs nothing until Refresh or Refresh index
// is pressed. A running index refresh goes on when the user leaves.

#include "window/NavigationScreen.h"

#include <Models.h>

#include <QList>

#include <qcoro/qcorotask.h>

#include <optional>

class QGridLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace ReveZE {

class AppModel;
class ElidedValueField;
class Localizer;
class ProgressSpinner;

class ConfigView : public NavigationScreen
{
    Q_OBJECT

public:
    static constexpr int maximumContentWidth = 900;

    ConfigView(AppModel &model, Localizer &l, QWidget *parent = nullptr);
    ~ConfigView() override;

    // An age in whole seconds, shortened: "59s", "1m", "59m", "1h", "2h" (the
    // seconds of a negative age too); the unit letters in every language.
    static QString ageText(qint64 seconds);
    // A data source's address, or an em dash when it has none.
    static QString valueText(const std::optional<QString> &value);
    // The number of packages in plain digits, never grouped.
    static QString packagesText(qint64 packages);
    // Up to date only when zelk says so.
    static bool isFresh(const std::optional<bool> &fresh) { return fresh.value_or(false); }

    bool isRefreshingIndex() const { return m_isRefreshingIndex; }

    // The two buttons' actions.
    void refresh();
    void refreshIndex();

    QString navigationTitle() const override;

    QScrollArea *scrollArea() const { return m_scroll; }
    QPushButton *refreshButton() const { return m_refreshButton; }
    QPushButton *refreshIndexButton() const { return m_refreshIndexButton; }
    ProgressSpinner *refreshIndexSpinner() const { return m_refreshIndexSpinner; }
    QLabel *baseDirLabel() const { return m_baseDir; }
    ProgressSpinner *sourcesSpinner() const { return m_sourcesSpinner; }
    QWidget *sourcesGrid() const { return m_sourcesGrid; }
    QWidget *indexGrid() const { return m_indexGrid; }
    // The cells of the data-source rows, in order: name, source, address.
    const QList<QLabel *> &sourceNames() const { return m_sourceNames; }
    const QList<QLabel *> &sourceOrigins() const { return m_sourceOrigins; }
    const QList<ElidedValueField *> &sourceValues() const { return m_sourceValues; }
    // The index rows' value cells; hidden rows are not visible.
    QLabel *indexPathValue() const { return m_pathValue; }
    QLabel *indexAgeValue() const { return m_ageValue; }
    QLabel *indexPackagesValue() const { return m_packagesValue; }
    QLabel *indexStateValue() const { return m_stateValue; }

protected:
    void appeared() override;
    void changeEvent(QEvent *event) override;

private:
    QWidget *buildContent();
    QGroupBox *buildSources(QWidget *parent);
    QGroupBox *buildIndex(QWidget *parent);
    QCoro::Task<> load();
    QCoro::Task<> runRefresh();
    QCoro::Task<> runRefreshIndex();

    void render();
    void renderBaseDir();
    void renderSources();
    void renderIndex();
    void renderTexts();

    AppModel &m_model;
    Localizer &m_l;

    bool m_isRefreshingIndex = false;

    QScrollArea *m_scroll = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_hint = nullptr;
    QPushButton *m_refreshButton = nullptr;
    QGroupBox *m_sourcesBox = nullptr;
    QLabel *m_baseDir = nullptr;
    ProgressSpinner *m_sourcesSpinner = nullptr;
    QWidget *m_sourcesGrid = nullptr;
    QGridLayout *m_sourcesLayout = nullptr;
    QList<QLabel *> m_sourceHeaders;
    QList<QLabel *> m_sourceNames;
    QList<QLabel *> m_sourceOrigins;
    QList<ElidedValueField *> m_sourceValues;
    QList<QWidget *> m_sourceRowWidgets;

    QGroupBox *m_indexBox = nullptr;
    QWidget *m_indexGrid = nullptr;
    QLabel *m_pathLabel = nullptr;
    QLabel *m_pathValue = nullptr;
    QLabel *m_ageLabel = nullptr;
    QLabel *m_ageValue = nullptr;
    QLabel *m_packagesLabel = nullptr;
    QLabel *m_packagesValue = nullptr;
    QLabel *m_stateLabel = nullptr;
    QLabel *m_stateValue = nullptr;
    ProgressSpinner *m_refreshIndexSpinner = nullptr;
    QPushButton *m_refreshIndexButton = nullptr;
};

} // namespace ReveZE
