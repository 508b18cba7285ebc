#pragma once

// The screen of the Doctor section: zelk's read-only check of the install
// tree and what it found. The check runs when the screen first appears and
// again on each press of Run again (each press its own check, even while one
// runs). Findings the model kept from an earlier visit are listed at once
// while the new check runs.
//
// The body follows the most recently completed check: a spinner until one
// has completed while there is nothing to list; the findings whenever the
// model has some; the green clean state only after a check that succeeded
// and found nothing; and nothing at all after a failed check with nothing
// to list (the window's alert says what went wrong).

#include "window/NavigationScreen.h"

#include <Models.h>

#include <QColor>
#include <QPersistentModelIndex>

#include <qcoro/qcorotask.h>

class QLabel;
class QListView;
class QPushButton;
class QStackedWidget;

namespace ReveZE {

class AppModel;
class DoctorListModel;
class Localizer;
class ProgressSpinner;
class SymbolLabel;

class DoctorView : public NavigationScreen
{
    Q_OBJECT

public:
    enum class Body { Spinner, List, Clean, Nothing };

    DoctorView(AppModel &model, Localizer &l, QWidget *parent = nullptr);
    ~DoctorView() override;

    // What the body shows (see above).
    static Body body(bool checked, bool lastCheckSucceeded, bool hasFindings);
    // "xmark.octagon.fill" for an error (severity "error" in any letter
    // case), "exclamationmark.triangle.fill" for every other severity.
    static QString severitySymbol(const ZelkKit::DoctorFinding &finding);
    static QColor severityColour(const ZelkKit::DoctorFinding &finding);

    // A check has completed since the screen was made, and how the latest
    // one to complete went.
    bool checked() const { return m_checked; }
    bool lastCheckSucceeded() const { return m_lastCheckSucceeded; }
    Body body() const;

    // Run again: starts one more check.
    void runCheck();

    QString navigationTitle() const override;

    QPushButton *runCheckButton() const { return m_runButton; }
    QListView *list() const { return m_list; }
    DoctorListModel *listModel() const { return m_listModel; }
    QStackedWidget *bodyStack() const { return m_body; }
    ProgressSpinner *spinner() const { return m_spinner; }
    QWidget *cleanState() const { return m_clean; }

protected:
    void appeared() override;
    void changeEvent(QEvent *event) override;

private:
    QWidget *buildHeader();
    QCoro::Task<> check();
    void render();
    void renderTexts();
    void onFindingsChanged();
    void followCurrentRow();

    AppModel &m_model;
    Localizer &m_l;

    bool m_checked = false;
    bool m_lastCheckSucceeded = false;
    int m_running = 0;

    QLabel *m_title = nullptr;
    QLabel *m_hint = nullptr;
    QPushButton *m_runButton = nullptr;
    QStackedWidget *m_body = nullptr;
    ProgressSpinner *m_spinner = nullptr;
    QListView *m_list = nullptr;
    DoctorListModel *m_listModel = nullptr;
    QWidget *m_clean = nullptr;
    SymbolLabel *m_cleanSymbol = nullptr;
    QLabel *m_cleanLabel = nullptr;
    QWidget *m_nothing = nullptr;
    QPersistentModelIndex m_editorRow;
};

} // namespace ReveZE
