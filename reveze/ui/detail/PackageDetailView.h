#pragma once

// The detail column for one selected package: what the install status knows
// about it (the grid's installed rows, its dependencies, how to remove it),
// what the index says (description, author, latest version, license,
// homepage) and which installed packages depend on it. It also serves a
// package that is not installed, picked from the index: then only the index
// rows, the packages that depend on it and an empty Dependencies box show.
//
// The window makes a new detail for every selected name, so nothing one
// package loaded or showed carries over to the next. Everything but the
// loaded information is read from the model whenever it changes, so a refresh
// (after an install, say) updates the rows, the badge and the boxes at once.
//
// Loading: once the detail has been shown and has stayed for restDelay()
// (moving quickly through a list makes and drops many details), it asks the
// model's InfoLoadQueue for `zelk info`; the answer sets either info or
// infoError, never clearing the other. The detail is loaded (isLoaded) once
// that ended. A detail that goes away never ends a query it started.
//
// Nothing here removes anything: for a package the screen shows the command
// that would (UninstallCommand) and copies it on request; for a dependency it
// says why it cannot be removed alone.

#include "detail/DetailRows.h"
#include "window/NavigationScreen.h"

#include <InstallStatus.h>
#include <Models.h>
#include <Result.h>

#include <QHash>
#include <QStringList>

#include <chrono>
#include <optional>

class QLabel;
class QPushButton;
class QScrollArea;
class QTimer;

namespace ReveZE {

class AppModel;
class CharWrappingText;
class DetailBox;
class KindBadge;
class Localizer;
class NameListView;
class SymbolLabel;
class ValueColumnFrames;
class ValueColumnHighlight;
class WrappedText;

class PackageDetailView : public NavigationScreen
{
    Q_OBJECT

public:
    // The name of the grid's coordinate space, in which the value cells
    // report their frames (the grid widget's objectName).
    static constexpr QStringView valueColumnSpace = u"detailValueColumn";

    PackageDetailView(AppModel &model, Localizer &l, QString packageName, QWidget *parent = nullptr);
    ~PackageDetailView() override;

    // How long a detail waits after it is first shown before it asks for
    // `zelk info`: about 150 ms, so that a selection moving through a list
    // starts no query for the rows it only passes. Tests make it short.
    static std::chrono::milliseconds restDelay();
    static void setRestDelay(std::chrono::milliseconds delay);

    // How long the Copy button shows Copied (2 s); tests make it short.
    std::chrono::milliseconds copiedInterval() const { return m_copiedInterval; }
    void setCopiedInterval(std::chrono::milliseconds interval) { m_copiedInterval = interval; }

    const QString &packageName() const { return m_name; }
    QString navigationTitle() const override { return m_name; }

    const std::optional<ZelkKit::PackageInfo> &info() const { return m_info; }
    const std::optional<QString> &infoError() const { return m_infoError; }
    bool isCopied() const { return m_copied; }
    // Whether the load was asked for (after the rest).
    bool hasRequestedInfo() const { return m_infoRequested; }

    // The installed package of this name in the model's install status, or
    // null; looked up anew each time.
    const ZelkKit::InstalledDetail *installedDetail() const;
    // The installed packages that depend on this one, as of the last change
    // of the install status.
    const QStringList &dependents() const { return m_dependents; }
    // The text shown in the Uninstall box and put on the clipboard.
    QString uninstallCommand() const;

    // Copies the uninstall command and shows Copied for copiedInterval();
    // every press keeps its own timer, so an earlier press can end the
    // confirmation of a later one early.
    void copyUninstallCommand();

    // The union of the frames the shown value cells report, in the grid's
    // space; the null rectangle until the grid has been laid out.
    QRectF valueColumnFrame() const { return m_valueColumnFrame; }

    // For tests and assistive technology.
    WrappedText *titleText() const { return m_title; }
    KindBadge *kindBadge() const { return m_badge; }
    SymbolLabel *linkedMark() const { return m_linkedMark; }
    WrappedText *descriptionText() const { return m_description; }
    WrappedText *errorText() const { return m_error; }
    WrappedText *authorText() const { return m_author; }
    QWidget *valueColumnGrid() const { return m_grid; }
    ValueColumnHighlight *valueColumnHighlight() const { return m_highlight; }
    // Whether the row is shown, its label and its value widget.
    bool showsRow(DetailRow row) const;
    QLabel *rowLabel(DetailRow row) const;
    // The padded cell that reports its frame, and the text inside it.
    QWidget *rowCell(DetailRow row) const;
    CharWrappingText *rowValue(DetailRow row) const;
    DetailBox *dependenciesBox() const { return m_dependenciesBox; }
    NameListView *dependenciesList() const { return m_dependenciesList; }
    QLabel *noDependenciesLabel() const { return m_noDependencies; }
    DetailBox *dependentsBox() const { return m_dependentsBox; }
    NameListView *dependentsList() const { return m_dependentsList; }
    QLabel *noDependentsLabel() const { return m_noDependents; }
    DetailBox *uninstallBox() const { return m_uninstallBox; }
    QWidget *lockRow() const { return m_lockRow; }
    WrappedText *lockText() const { return m_lockText; }
    QWidget *commandRow() const { return m_commandRow; }
    WrappedText *commandText() const { return m_commandText; }
    QPushButton *copyButton() const { return m_copyButton; }
    // The symbol on the Copy button: "doc.on.doc", or "checkmark" while
    // Copied shows.
    QString copyButtonSymbol() const;
    QScrollArea *scrollArea() const { return m_scroll; }

protected:
    void appeared() override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct GridRow {
        QLabel *label = nullptr;
        QWidget *cell = nullptr;
        CharWrappingText *value = nullptr;
    };

    QWidget *buildHeader(QWidget *parent);
    QWidget *buildDetails(QWidget *parent);
    void buildDependencies(QWidget *parent);
    void buildUninstall(QWidget *parent);

    void onStatusChanged();
    void onRested();
    void applyInfo(const ZelkKit::Result<ZelkKit::PackageInfo> &result);
    void render();
    void renderRows(const ZelkKit::InstalledDetail *detail);
    void renderCopy();
    void updateHighlight();

    AppModel &m_model;
    Localizer &m_l;
    const QString m_name;
    const QString m_currentUser;

    std::optional<ZelkKit::PackageInfo> m_info;
    std::optional<QString> m_infoError;
    bool m_copied = false;
    QRectF m_valueColumnFrame;
    QStringList m_dependents;
    bool m_infoRequested = false;
    bool m_restStarted = false;
    std::chrono::milliseconds m_copiedInterval{2000};

    QTimer *m_restTimer = nullptr;
    QScrollArea *m_scroll = nullptr;
    WrappedText *m_title = nullptr;
    KindBadge *m_badge = nullptr;
    SymbolLabel *m_linkedMark = nullptr;
    WrappedText *m_description = nullptr;
    WrappedText *m_error = nullptr;
    WrappedText *m_author = nullptr;
    QWidget *m_detailsSurface = nullptr;
    QLabel *m_detailsTitle = nullptr;
    QWidget *m_grid = nullptr;
    QHash<DetailRow, GridRow> m_rows;
    ValueColumnFrames *m_frames = nullptr;
    ValueColumnHighlight *m_highlight = nullptr;
    DetailBox *m_dependenciesBox = nullptr;
    NameListView *m_dependenciesList = nullptr;
    QLabel *m_noDependencies = nullptr;
    DetailBox *m_dependentsBox = nullptr;
    NameListView *m_dependentsList = nullptr;
    QLabel *m_noDependents = nullptr;
    DetailBox *m_uninstallBox = nullptr;
    QWidget *m_lockRow = nullptr;
    SymbolLabel *m_lockSymbol = nullptr;
    WrappedText *m_lockText = nullptr;
    QWidget *m_commandRow = nullptr;
    WrappedText *m_commandText = nullptr;
    QPushButton *m_copyButton = nullptr;
};

} // namespace ReveZE
