#pragma once

// The modal sheet that installs, upgrades or reinstalls packages: ReveZE's
// one way of changing the install tree.
//
// Two faces follow its runner. Before a run, a form: the package name
// (checked as it is typed, refused characters marked), the operation, the
// switches, three time limits, free extra arguments (a dangerous one is
// named at once) and the exact command line it will run. During and after a
// run, its progress: the outcome (the failure with its advice and Copy
// error, or Finished), a bar or a spinner, and every line of the log. The
// footer's buttons follow the state; Escape and Return act as they do
// (CommandKeyShortcuts): Return starts (again, after a run), Escape cancels
// a run or closes the sheet.
//
// Starting with dangerous extra arguments lays the confirmation dialog over
// the sheet; confirming runs exactly the arguments that were checked. While
// a run is under way or the dialog is up, the sheet cannot be dismissed
// (Escape, the title bar's close): reject() refuses.
//
// The sheet is as tall as its content, but never taller than its window or
// the screen: beyond that the content scrolls (SheetScrollArea), and Tab
// scrolls the control it reaches into view.
//
// Opened with open(), never exec(). Everything derived from the form is in
// InstallForm; render() re-applies the current state to the widgets, and
// the runner's log reaches the screen through InstallLogView alone, so a
// run of a million lines never redraws the rest of the sheet per line.

#include "install/DangerousArgumentsDialog.h"
#include "install/InstallForm.h"

#include <ZelkOperation.h>

#include <QDialog>
#include <QPointer>

#include <qcoro/qcorotask.h>

#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace ReveZE {

class AppIconView;
class AppModel;
class CommandKeyShortcuts;
class DangerousArgumentsDialog;
class DialogButton;
class InstallLogView;
class InstallRunner;
class Localizer;
class ProgressSpinner;
class SegmentedControl;
class SheetScrollArea;
class StyledTextView;
class SymbolLabel;
class ToggleSwitch;

class InstallSheet : public QDialog
{
    Q_OBJECT

public:
    static constexpr int sheetWidth = 560;
    static constexpr int logHeight = 320;
    static constexpr int defaultCopiedInterval = 2000;

    enum class Face { Form, Progress };

    InstallSheet(AppModel &model, Localizer &l, QString packageName, ZelkKit::ZelkOperation operation, bool upgradeAll,
                 QWidget *parent = nullptr);
    ~InstallSheet() override;

    // The form as it stands, and what the sheet was opened with.
    const InstallForm &form() const { return m_form; }
    const QString &packageName() const { return m_form.packageName; }
    ZelkKit::ZelkOperation operation() const { return m_form.operation; }
    bool upgradingAll() const { return m_form.upgradingAll; }

    InstallRunner *runner() const { return m_runner; }
    Face face() const;
    const QList<ZelkKit::SafetyWarning> &pendingWarnings() const { return m_pendingWarnings; }
    bool copiedReport() const { return m_copiedReport; }

    // Runs the form, through the danger check.
    void start();
    // Puts the report of the run on the clipboard; Copied shows for a while.
    QCoro::Task<> copyReport();
    // A fresh runner and an empty name; every other field stays.
    void installAnother();
    // Closes the sheet (from the form, or after a run).
    void closeSheet();
    // What the confirm and cancel keys do.
    void confirmKey();
    void cancelKey();

    // How long Copied shows (tests use a short one).
    void setCopiedInterval(int milliseconds) { m_copiedInterval = milliseconds; }

    // The most the sheet may take in height: its window's, or the screen's.
    int availableHeight() const;

    // The widgets, for tests and the screenshot tool.
    SheetScrollArea *scrollArea() const { return m_scroll; }
    QLineEdit *nameField() const { return m_nameField; }
    SegmentedControl *operationControl() const { return m_operationControl; }
    QWidget *hintRow() const { return m_hintRow; }
    StyledTextView *highlightedName() const { return m_highlightedName; }
    QLabel *hintLabel() const { return m_hintLabel; }
    ToggleSwitch *resumeSwitch() const { return m_resumeSwitch; }
    ToggleSwitch *removeOldSwitch() const { return m_removeOldSwitch; }
    QWidget *removeOldRow() const { return m_removeOldRow; }
    QLineEdit *timeField(int index) const { return m_timeouts[index].field; }
    QLabel *notSetLabel(int index) const { return m_timeouts[index].notSet; }
    QPlainTextEdit *extraField() const { return m_extraField; }
    QWidget *dangerRow() const { return m_dangerRow; }
    QLabel *dangerLabel() const { return m_dangerLabel; }
    StyledTextView *previewView() const { return m_preview; }
    QWidget *formPanel() const { return m_formPanel; }
    QWidget *progressPanel() const { return m_progressPanel; }
    QWidget *failureRow() const { return m_failureRow; }
    QLabel *failureLabel() const { return m_failureLabel; }
    QToolButton *copyButton() const { return m_copyButton; }
    QLabel *adviceLabel() const { return m_adviceLabel; }
    QWidget *finishedRow() const { return m_finishedRow; }
    QWidget *barRow() const { return m_barRow; }
    QProgressBar *progressBar() const { return m_progressBar; }
    QLabel *barLabel() const { return m_barLabel; }
    QLabel *percentLabel() const { return m_percentLabel; }
    QWidget *spinnerRow() const { return m_spinnerRow; }
    QLabel *spinnerLabel() const { return m_spinnerLabel; }
    InstallLogView *logView() const { return m_logView; }
    QLabel *installedLabel() const { return m_installedLabel; }
    DialogButton *cancelButton() const { return m_cancelButton; }
    DialogButton *installButton() const { return m_installButton; }
    DialogButton *retryButton() const { return m_retryButton; }
    QPushButton *anotherButton() const { return m_anotherButton; }
    DialogButton *doneButton() const { return m_doneButton; }
    DangerousArgumentsDialog *dangerDialog() const { return m_dialog; }
    CommandKeyShortcuts *keys() const { return m_keys; }

public Q_SLOTS:
    // Refused while a run is under way or the dialog is up.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

Q_SIGNALS:
    void faceChanged();
    void copiedReportChanged();

private:
    void build();
    QWidget *buildHeader();
    QWidget *buildForm();
    QWidget *buildProgress();
    QWidget *buildFooter();
    void setRunner(InstallRunner *runner);
    void run(const ZelkKit::OperationArguments &arguments);
    void dialogCancelled();
    void dialogConfirmed();
    void setCopiedReport(bool copied);
    void fitToScreen();

    void render();
    void renderForm();
    void fitExtraField();
    void renderProgress();
    void renderFooter();
    void renderDialog();
    void renderFace();

    AppModel &m_model;
    Localizer &m_l;
    InstallForm m_form;
    InstallRunner *m_runner = nullptr;
    QList<ZelkKit::SafetyWarning> m_pendingWarnings;
    std::optional<ZelkKit::OperationArguments> m_checkedArguments;
    bool m_copiedReport = false;
    int m_copiedInterval = defaultCopiedInterval;
    std::optional<Face> m_renderedFace;

    SheetScrollArea *m_scroll = nullptr;
    QWidget *m_content = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_subtitle = nullptr;

    QWidget *m_formPanel = nullptr;
    QLineEdit *m_nameField = nullptr;
    SegmentedControl *m_operationControl = nullptr;
    QWidget *m_hintRow = nullptr;
    StyledTextView *m_highlightedName = nullptr;
    QLabel *m_hintLabel = nullptr;
    QGroupBox *m_argumentsBox = nullptr;
    ToggleSwitch *m_resumeSwitch = nullptr;
    QLabel *m_resumeDetail = nullptr;
    ToggleSwitch *m_removeOldSwitch = nullptr;
    QWidget *m_removeOldRow = nullptr;
    QLabel *m_removeOldDetail = nullptr;
    struct TimeoutRow {
        QLabel *flag = nullptr;
        QLineEdit *field = nullptr;
        QLabel *notSet = nullptr;
    };
    TimeoutRow m_timeouts[3];
    QLabel *m_extraTitle = nullptr;
    QPlainTextEdit *m_extraField = nullptr;
    QWidget *m_dangerRow = nullptr;
    QLabel *m_dangerLabel = nullptr;
    QGroupBox *m_previewBox = nullptr;
    StyledTextView *m_preview = nullptr;

    QWidget *m_progressPanel = nullptr;
    QWidget *m_failureRow = nullptr;
    QLabel *m_failureLabel = nullptr;
    QToolButton *m_copyButton = nullptr;
    QLabel *m_adviceLabel = nullptr;
    QWidget *m_finishedRow = nullptr;
    QLabel *m_finishedLabel = nullptr;
    QWidget *m_barRow = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_barLabel = nullptr;
    QLabel *m_percentLabel = nullptr;
    QWidget *m_spinnerRow = nullptr;
    ProgressSpinner *m_spinner = nullptr;
    QLabel *m_spinnerLabel = nullptr;
    InstallLogView *m_logView = nullptr;

    QLabel *m_installedLabel = nullptr;
    DialogButton *m_cancelButton = nullptr;
    DialogButton *m_installButton = nullptr;
    DialogButton *m_retryButton = nullptr;
    QPushButton *m_anotherButton = nullptr;
    DialogButton *m_doneButton = nullptr;

    QPointer<DangerousArgumentsDialog> m_dialog;
    CommandKeyShortcuts *m_keys = nullptr;
};

} // namespace ReveZE
