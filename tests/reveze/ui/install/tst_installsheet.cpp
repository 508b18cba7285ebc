// The install sheet driven through its widgets against zelk-sim: every
// operation, each kind of failure with its advice and retry rule, cancel,
// no zelk at all, the keys in every state and with the dialog over it, and
// the form's edge cases.

#include "AppModel.h"
#include "InstallRunner.h"
#include "Localizer.h"
#include "install/CommandKeyShortcuts.h"
#include "install/DangerCardButton.h"
#include "install/DangerousArgumentsDialog.h"
#include "install/DialogButton.h"
#include "install/InstallLogView.h"
#include "install/InstallSheet.h"
#include "install/SegmentedControl.h"
#include "install/StyledTextView.h"
#include "widgets/ToggleSwitch.h"

#include "GuiTestSupport.h"

#include <ProcessRegistry.h>
#include <ZelkCLI.h>

#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace ReveZE;
using ZelkKit::ZelkOperation;

namespace {

constexpr int runTimeout = 30000;

// Sets an environment variable for the life of the object.
struct ScopedEnv {
    QByteArray name;
    QByteArray old;
    bool had;
    ScopedEnv(const char *variable, const QByteArray &value)
        : name(variable), old(qgetenv(variable)), had(qEnvironmentVariableIsSet(variable))
    {
        qputenv(variable, value);
    }
    ~ScopedEnv()
    {
        if (had)
            qputenv(name.constData(), old);
        else
            qunsetenv(name.constData());
    }
};

struct Fixture {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    Localizer l{AppLanguage::English, {&settings, QStringList{QStringLiteral("en-US")}}};
    std::unique_ptr<AppModel> model;
    std::unique_ptr<InstallSheet> sheet;

    explicit Fixture(const QString &name, ZelkOperation operation = ZelkOperation::Install, bool all = false,
                     bool withZelk = true)
    {
        qputenv("ZELK_SIM_STATE", QFile::encodeName(state()));
        qputenv("ZELK_SIM_DELAY_MS", "0");
        qputenv("ZELK_SIM_DEMO", ZELK_SIM_DEMO_DIR);
        if (withZelk) {
            model = std::make_unique<AppModel>(ZelkKit::ZelkCLI(QStringLiteral(ZELK_SIM_PATH)));
        } else {
            const ScopedEnv nowhere("REVEZE_ZELK", QFile::encodeName(dir.filePath(QStringLiteral("no-zelk"))));
            const ScopedEnv path("PATH", QFile::encodeName(dir.path()));
            model = std::make_unique<AppModel>();
        }
        sheet = std::make_unique<InstallSheet>(*model, l, name, operation, all);
        sheet->setCopiedInterval(50);
    }

    ~Fixture()
    {
        // A run and the refresh after it end before the sheet and model go.
        if (sheet && sheet->runner()->isRunning())
            sheet->runner()->cancel();
        for (int i = 0; i < 3000 && (model->isLoading() || ZelkKit::ProcessRegistry::instance().liveCount() > 0); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        sheet.reset();
        model.reset();
    }

    QString state() const { return dir.filePath(QStringLiteral("state")); }

    // Seeds the state from the demo tree, as the first command would.
    bool seed() const
    {
        QProcess sim;
        sim.start(QStringLiteral(ZELK_SIM_PATH), {QStringLiteral("version"), QStringLiteral("--json")});
        return sim.waitForFinished(30000) && sim.exitCode() == 0;
    }

    bool open()
    {
        sheet->open();
        return QTest::qWaitForWindowExposed(sheet.get());
    }

    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center()); }

    bool runToEnd()
    {
        click(sheet->installButton());
        return QTest::qWaitFor([&] { return sheet->runner()->finished(); }, runTimeout);
    }

    QStringList log() const { return sheet->runner()->log().texts(); }
    bool logHas(const QString &start) const
    {
        const QStringList lines = log();
        return std::any_of(lines.cbegin(), lines.cend(), [&](const QString &line) { return line.startsWith(start); });
    }
    bool shown(QWidget *widget) const { return widget->isVisibleTo(sheet.get()); }
};

} // namespace

class TestInstallSheet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void installRunsToTheEnd()
    {
        Fixture f(QStringLiteral("shellcheck"));
        QVERIFY(f.open());
        QCOMPARE(f.sheet->face(), InstallSheet::Face::Form);
        QCOMPARE(f.sheet->previewView()->toPlainText(), QStringLiteral("zelk install shellcheck --yes"));
        QVERIFY(f.sheet->installButton()->isEnabled());
        const QSize formSize = f.sheet->size();
        QSignalSpy faces(f.sheet.get(), &InstallSheet::faceChanged);

        QVERIFY(f.runToEnd());
        QCOMPARE(f.log().first(), QStringLiteral("zelk install shellcheck --yes"));
        QVERIFY(f.logHas(QStringLiteral("done: shellcheck@")));
        QVERIFY(!f.sheet->runner()->failure());
        QCOMPARE(f.sheet->face(), InstallSheet::Face::Progress);
        QVERIFY(faces.count() >= 1);
        // The sheet fits its new face.
        QVERIFY(f.sheet->size() != formSize);
        QCOMPARE(f.sheet->size(), f.sheet->sizeHint());

        QVERIFY(f.shown(f.sheet->finishedRow()));
        QVERIFY(!f.shown(f.sheet->failureRow()));
        QCOMPARE(f.sheet->installedLabel()->text(), QStringLiteral("shellcheck is installed"));
        QVERIFY(f.shown(f.sheet->installedLabel()));
        // The bar keeps its last value, labelled Working… now that no step runs.
        QVERIFY(f.shown(f.sheet->barRow()));
        QCOMPARE(f.sheet->barLabel()->text(), QStringLiteral("Working…"));
        QCOMPARE(f.sheet->percentLabel()->text(), QStringLiteral("100%"));
        QCOMPARE(f.sheet->progressBar()->value(), 100);
        QVERIFY(!f.shown(f.sheet->spinnerRow()));
        // Footer after the end: Install another and Done; no retry on success.
        QVERIFY(!f.shown(f.sheet->cancelButton()));
        QVERIFY(!f.shown(f.sheet->installButton()));
        QVERIFY(!f.shown(f.sheet->retryButton()));
        QVERIFY(f.shown(f.sheet->anotherButton()));
        QVERIFY(f.shown(f.sheet->doneButton()));
        // The log shows every line.
        QTRY_COMPARE(f.sheet->logView()->shownLineCount(), f.sheet->runner()->log().size());
    }

    void operations_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<ZelkOperation>("operation");
        QTest::addColumn<bool>("all");
        QTest::addColumn<QString>("preview");
        QTest::addColumn<QStringList>("lines");
        QTest::addRow("upgrade one") << QStringLiteral("jq") << ZelkOperation::Upgrade << false
                                     << QStringLiteral("zelk upgrade jq --yes")
                                     << QStringList{QStringLiteral("jq: upgraded (1.6 → "), QStringLiteral("done: jq@")};
        QTest::addRow("upgrade all") << QString() << ZelkOperation::Upgrade << true
                                     << QStringLiteral("zelk upgrade --all --yes")
                                     << QStringList{QStringLiteral("curl: upgraded ("), QStringLiteral("summary: ")};
        QTest::addRow("reinstall") << QStringLiteral("fd") << ZelkOperation::Reinstall << false
                                   << QStringLiteral("zelk reinstall fd --yes")
                                   << QStringList{QStringLiteral("fd: reinstalled ("), QStringLiteral("done: fd@")};
        // Two names in the one field: one argument, and zelk installs both.
        QTest::addRow("jq, fd in one field") << QStringLiteral("jq, fd") << ZelkOperation::Reinstall << false
                                             << QStringLiteral("zelk reinstall jq, fd --yes")
                                             << QStringList{QStringLiteral("jq: reinstalled ("),
                                                            QStringLiteral("fd: reinstalled (")};
        QTest::addRow("eza duf installed") << QStringLiteral("eza duf") << ZelkOperation::Install << false
                                           << QStringLiteral("zelk install eza duf --yes")
                                           << QStringList{QStringLiteral("done: eza@"), QStringLiteral("done: duf@")};
    }

    void operations()
    {
        QFETCH(QString, name);
        QFETCH(ZelkOperation, operation);
        QFETCH(bool, all);
        QFETCH(QString, preview);
        QFETCH(QStringList, lines);
        Fixture f(name, operation, all);
        QVERIFY(f.open());
        QCOMPARE(f.sheet->previewView()->toPlainText(), preview);
        if (all) {
            QCOMPARE(f.sheet->nameField()->text(), QStringLiteral("-a"));
            QVERIFY(!f.sheet->nameField()->isEnabled());
            QVERIFY(f.sheet->operationControl()->isEnabled());
            QVERIFY(!f.shown(f.sheet->hintRow()));
        }
        QVERIFY(f.sheet->installButton()->isEnabled());
        QVERIFY(f.runToEnd());
        QVERIFY2(!f.sheet->runner()->failure(), qPrintable(f.sheet->runner()->failure().value_or(QString())));
        QCOMPARE(f.log().first(), preview);
        for (const QString &line : std::as_const(lines))
            QVERIFY2(f.logHas(line), qPrintable(line + QStringLiteral(" in\n") + f.log().join(QLatin1Char('\n'))));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("advice");
        QTest::addColumn<bool>("retry");
        QTest::addRow("E_LOCKED") << QStringLiteral("shellcheck") << true
                                  << QStringLiteral("Another zelk is running. Wait for it to finish.") << true;
        QTest::addRow("E_DISK") << QStringLiteral("atlas-maps") << false << QStringLiteral("Not enough disk space.")
                                << false;
        QTest::addRow("no code") << QStringLiteral("glitch") << false << QString() << false;
    }

    void failures()
    {
        QFETCH(QString, name);
        QFETCH(bool, locked);
        QFETCH(QString, advice);
        QFETCH(bool, retry);
        Fixture f(name);
        QVERIFY(f.seed());
        std::unique_ptr<QLockFile> lock;
        if (locked) {
            // Another zelk holds the install tree: this test process.
            lock = std::make_unique<QLockFile>(f.state() + QStringLiteral("/lock"));
            QVERIFY(lock->tryLock());
        }
        QVERIFY(f.open());
        QVERIFY(f.runToEnd());
        const std::optional<QString> failure = f.sheet->runner()->failure();
        QVERIFY(failure);
        QVERIFY(f.shown(f.sheet->failureRow()));
        QCOMPARE(f.sheet->failureLabel()->text(), *failure);
        QCOMPARE(f.sheet->copyButton()->text(), QStringLiteral("Copy error"));
        QCOMPARE(f.shown(f.sheet->adviceLabel()), !advice.isEmpty());
        if (!advice.isEmpty())
            QCOMPARE(f.sheet->adviceLabel()->text(), advice);
        QCOMPARE(f.shown(f.sheet->retryButton()), retry);
        QVERIFY(!f.shown(f.sheet->finishedRow()));
        QVERIFY(f.shown(f.sheet->anotherButton()));

        if (retry) {
            // Once the other zelk is gone, the retry runs the same form again.
            lock.reset();
            const qsizetype before = f.log().size();
            f.click(f.sheet->retryButton());
            QVERIFY(QTest::qWaitFor([&] { return f.sheet->runner()->finished(); }, runTimeout));
            QVERIFY(!f.sheet->runner()->failure());
            QVERIFY(f.log().size() != before);
            QCOMPARE(f.log().first(), QStringLiteral("zelk install shellcheck --yes"));
        }
    }

    void copyErrorShowsCopiedThenCopyErrorAgain()
    {
        Fixture f(QStringLiteral("atlas-maps"));
        QVERIFY(f.open());
        QVERIFY(f.runToEnd());
        QSignalSpy copied(f.sheet.get(), &InstallSheet::copiedReportChanged);
        f.click(f.sheet->copyButton());
        QTRY_VERIFY(f.sheet->copiedReport());
        QCOMPARE(f.sheet->copyButton()->text(), QStringLiteral("Copied"));
        const QString report = QGuiApplication::clipboard()->text();
        QVERIFY2(report.startsWith(QStringLiteral("ReveZE ")), qPrintable(report));
        QVERIFY(report.contains(QStringLiteral("\nerror code: E_DISK\n\nzelk install atlas-maps --yes\n")));
        QVERIFY(report.contains(QStringLiteral("error: no space left on the device")));
        QTRY_VERIFY(!f.sheet->copiedReport());
        QCOMPARE(f.sheet->copyButton()->text(), QStringLiteral("Copy error"));
        QCOMPARE(copied.count(), 2);
    }

    // A package reported installed stays so in the footer when the run
    // fails afterwards.
    void installedNameStaysAfterALaterFailure()
    {
        Fixture f(QStringLiteral("shellcheck atlas-maps"));
        QVERIFY(f.open());
        QVERIFY(f.runToEnd());
        QVERIFY(f.sheet->runner()->failure());
        QCOMPARE(f.sheet->installedLabel()->text(), QStringLiteral("shellcheck is installed"));
        QVERIFY(f.shown(f.sheet->installedLabel()));
    }

    void cancelDuringARun()
    {
        const ScopedEnv slow("ZELK_SIM_DELAY_MS", "60000");
        Fixture f(QStringLiteral("shellcheck"));
        qputenv("ZELK_SIM_DELAY_MS", "60000");
        QVERIFY(f.open());
        f.click(f.sheet->installButton());
        QVERIFY(f.sheet->runner()->isRunning());
        QTRY_VERIFY(f.logHas(QStringLiteral("plan: ")));
        QVERIFY(f.shown(f.sheet->spinnerRow()));
        QVERIFY(f.shown(f.sheet->cancelButton()));
        QVERIFY(!f.shown(f.sheet->installButton()));
        // No dismissal while it runs: Escape goes to the run, reject() and
        // the title bar's close are refused.
        f.sheet->reject();
        f.sheet->close();
        QVERIFY(f.sheet->isVisible());
        // Return during a run does nothing.
        QTest::keyClick(f.sheet->logView(), Qt::Key_Return);
        QVERIFY(f.sheet->runner()->isRunning());

        QTest::keyClick(f.sheet->logView(), Qt::Key_Escape);
        QVERIFY(!f.sheet->runner()->isRunning());
        QCOMPARE(f.sheet->runner()->failure(), std::optional<QString>(QStringLiteral("Cancelled.")));
        // Held down, Escape repeats: the repeat must not close the sheet
        // with the outcome and its log.
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"), true);
        QApplication::sendEvent(f.sheet->logView(), &repeat);
        QVERIFY(f.sheet->isVisible());
        QVERIFY(f.shown(f.sheet->failureRow()));
        QCOMPARE(f.sheet->failureLabel()->text(), QStringLiteral("Cancelled."));
        QVERIFY(!f.shown(f.sheet->retryButton()));
        // The child is terminated and reaped.
        QTRY_COMPARE_WITH_TIMEOUT(ZelkKit::ProcessRegistry::instance().liveCount(), 0, runTimeout);
        QVERIFY(f.sheet->isVisible());
    }

    void withoutZelkTheRunEndsAtOnceWithTheSetupText()
    {
        Fixture f(QStringLiteral("jq"), ZelkOperation::Install, false, false);
        QVERIFY(f.model->setupError());
        QVERIFY(f.open());
        f.click(f.sheet->installButton());
        QVERIFY(f.sheet->runner()->finished());
        QCOMPARE(f.sheet->runner()->failure(), f.model->setupError());
        QVERIFY(f.shown(f.sheet->failureRow()));
        QCOMPARE(f.sheet->failureLabel()->text(), *f.model->setupError());
        QVERIFY(!f.shown(f.sheet->adviceLabel()));
    }

    void keysInTheForm()
    {
        Fixture f(QStringLiteral("café"));
        QVERIFY(f.open());
        QLineEdit *name = f.sheet->nameField();
        // An invalid name: Return and Ctrl+Return do nothing.
        QTest::keyClick(name, Qt::Key_Return);
        QTest::keyClick(name, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.sheet->face(), InstallSheet::Face::Form);
        // A period without Ctrl is typed.
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("shellcheck"));
        QTest::keyClick(name, Qt::Key_Period);
        QCOMPARE(f.sheet->packageName(), QStringLiteral("shellcheck."));
        QTest::keyClick(name, Qt::Key_Backspace);
        // Return in the multi-line field starts instead of breaking the line.
        QTest::keyClick(f.sheet->extraField(), Qt::Key_Return);
        QVERIFY(f.sheet->runner()->isRunning() || f.sheet->runner()->finished());
        QCOMPARE(f.sheet->extraField()->toPlainText(), QString());
        QVERIFY(QTest::qWaitFor([&] { return f.sheet->runner()->finished(); }, runTimeout));

        // After the end, Return runs the same form again (no retry button on success).
        QVERIFY(!f.shown(f.sheet->retryButton()));
        QSignalSpy running(f.sheet->runner(), &InstallRunner::isRunningChanged);
        QTest::keyClick(f.sheet->logView(), Qt::Key_Return);
        QVERIFY(running.count() >= 1);
        QVERIFY(QTest::qWaitFor([&] { return f.sheet->runner()->finished(); }, runTimeout));
        QCOMPARE(f.log().first(), QStringLiteral("zelk install shellcheck --yes"));

        // And Escape closes it.
        QSignalSpy finished(f.sheet.get(), &QDialog::finished);
        QTest::keyClick(f.sheet->logView(), Qt::Key_Escape);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!f.sheet->isVisible());
    }

    void escapeInTheFormClosesTheSheet()
    {
        Fixture f(QStringLiteral("jq"));
        QVERIFY(f.open());
        QSignalSpy finished(f.sheet.get(), &QDialog::finished);
        QTest::keyClick(f.sheet->nameField(), Qt::Key_Escape);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!f.sheet->keys()->isInstalled());
    }

    void dangerousArgumentsAskFirst()
    {
        Fixture f(QStringLiteral("shellcheck"));
        QVERIFY(f.open());
        QVERIFY(!f.shown(f.sheet->dangerRow()));
        QTest::keyClicks(f.sheet->extraField(), QStringLiteral("--skip-ssl"));
        // Named while typing.
        QVERIFY(f.shown(f.sheet->dangerRow()));
        QCOMPARE(f.sheet->dangerLabel()->text(), QStringLiteral("Dangerous: --skip-ssl"));
        QTest::keyClicks(f.sheet->extraField(), QStringLiteral(" -F"));
        QCOMPARE(f.sheet->dangerLabel()->text(), QStringLiteral("Dangerous: --skip-ssl, --force"));

        f.click(f.sheet->installButton());
        QPointer<DangerousArgumentsDialog> dialog = f.sheet->dangerDialog();
        QVERIFY(dialog);
        QCOMPARE(f.sheet->pendingWarnings().size(), 2);
        QCOMPARE(f.sheet->face(), InstallSheet::Face::Form);
        QVERIFY(!f.sheet->runner()->isRunning());
        // Not dismissed while it asks; Escape cancels the dialog only.
        f.sheet->reject();
        QVERIFY(f.sheet->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(f.sheet->pendingWarnings().isEmpty());
        QVERIFY(f.sheet->isVisible());
        QTRY_VERIFY(!dialog);
        // The form is as it was.
        QCOMPARE(f.sheet->extraField()->toPlainText(), QStringLiteral("--skip-ssl -F"));
        QCOMPARE(f.sheet->face(), InstallSheet::Face::Form);
        QVERIFY(f.sheet->extraField()->isEnabled());

        // Confirming (Return) runs exactly what was checked, once.
        f.click(f.sheet->installButton());
        dialog = f.sheet->dangerDialog();
        QVERIFY(dialog);
        QSignalSpy starts(f.sheet->runner(), &InstallRunner::isRunningChanged);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([&] { return f.sheet->runner()->finished(); }, runTimeout));
        QCOMPARE(f.log().first(), QStringLiteral("zelk install shellcheck --yes --skip-ssl -F"));
        QCOMPARE(starts.count(), 2);
        QTRY_VERIFY(!dialog);
    }

    void confirmingInTheDialogWithTheMouse()
    {
        Fixture f(QStringLiteral("certbox"));
        QVERIFY(f.open());
        f.sheet->extraField()->setPlainText(QStringLiteral("--skip-ssl"));
        f.click(f.sheet->installButton());
        QVERIFY(f.sheet->dangerDialog());
        // Typing does not reach the form beneath.
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("xyz"));
        QCOMPARE(f.sheet->packageName(), QStringLiteral("certbox"));
        f.click(f.sheet->dangerDialog()->confirmButton());
        QVERIFY(QTest::qWaitFor([&] { return f.sheet->runner()->finished(); }, runTimeout));
        // --skip-ssl let the certificate problem through.
        QVERIFY2(!f.sheet->runner()->failure(), qPrintable(f.sheet->runner()->failure().value_or(QString())));
    }

    void theFormsEdgeCases()
    {
        Fixture f(QStringLiteral("jq"));
        QVERIFY(f.open());
        QLineEdit *name = f.sheet->nameField();

        // A text of only separators: no name, Install disabled, no hint.
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral(" , "));
        QVERIFY(!f.sheet->installButton()->isEnabled());
        QVERIFY(!f.shown(f.sheet->hintRow()));

        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("caf"));
        // (QTest types ASCII only.)
        QTest::sendKeyEvent(QTest::Press, name, Qt::Key_unknown, QStringLiteral("é"), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, name, Qt::Key_unknown, QStringLiteral("é"), Qt::NoModifier);
        QVERIFY(f.shown(f.sheet->hintRow()));
        QCOMPARE(f.sheet->hintLabel()->text(),
                 QStringLiteral("Letters, digits and . _ + - @ only; separate names with a comma or a space."));
        QCOMPARE(f.sheet->highlightedName()->toPlainText(), QStringLiteral("café"));
        QVERIFY(!f.sheet->installButton()->isEnabled());

        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("jq -x"));
        QCOMPARE(f.sheet->hintLabel()->text(), QStringLiteral("A name must start with a letter or digit."));

        // Reinstall: the remove-old switch is disabled with its off tooltip
        // and leaves the preview, even when on.
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("jq"));
        f.click(f.sheet->operationControl()->segment(1));
        QVERIFY(f.sheet->removeOldSwitch()->isEnabled());
        QCOMPARE(f.sheet->removeOldRow()->toolTip(), QStringLiteral("Only keep the version just installed"));
        f.click(f.sheet->removeOldSwitch());
        QCOMPARE(f.sheet->previewView()->toPlainText(), QStringLiteral("zelk upgrade jq --remove-old-versions --yes"));
        f.click(f.sheet->operationControl()->segment(2));
        QCOMPARE(f.sheet->operation(), ZelkOperation::Reinstall);
        QVERIFY(!f.sheet->removeOldSwitch()->isEnabled());
        QVERIFY(f.sheet->removeOldSwitch()->isChecked());
        QCOMPARE(f.sheet->removeOldRow()->toolTip(), QStringLiteral("Only zelk upgrade accepts this flag"));
        QCOMPARE(f.sheet->previewView()->toPlainText(), QStringLiteral("zelk reinstall jq --yes"));

        // A time limit: "not set" goes while it holds text.
        QVERIFY(f.shown(f.sheet->notSetLabel(0)));
        QTest::keyClicks(f.sheet->timeField(0), QStringLiteral("40s"));
        QVERIFY(!f.shown(f.sheet->notSetLabel(0)));
        QCOMPARE(f.sheet->previewView()->toPlainText(), QStringLiteral("zelk reinstall jq --max-time 40s --yes"));

        // The extra field grows from one line to three, then scrolls.
        QPlainTextEdit *extra = f.sheet->extraField();
        const int one = extra->height();
        extra->setPlainText(QStringLiteral("--verbose\n--verbose"));
        const int two = extra->height();
        extra->setPlainText(QStringLiteral("a\nb\nc\nd\ne"));
        const int three = extra->height();
        QVERIFY(one < two);
        QVERIFY(two < three);
        extra->setPlainText(QStringLiteral("a\nb\nc\nd\ne\nf\ng"));
        QCOMPARE(extra->height(), three);
    }

    // "Install another" keeps everything but the name.
    void installAnotherKeepsTheOtherFields()
    {
        Fixture f(QStringLiteral("jq"), ZelkOperation::Upgrade);
        QVERIFY(f.open());
        QTest::keyClicks(f.sheet->timeField(0), QStringLiteral("5min"));
        f.sheet->extraField()->setPlainText(QStringLiteral("--verbose"));
        QVERIFY(f.runToEnd());
        QPointer<InstallRunner> first = f.sheet->runner();
        f.click(f.sheet->anotherButton());
        QCOMPARE(f.sheet->face(), InstallSheet::Face::Form);
        QVERIFY(f.sheet->runner() != first.data());
        QVERIFY(!f.sheet->runner()->finished());
        QCOMPARE(f.sheet->nameField()->text(), QString());
        QCOMPARE(f.sheet->operation(), ZelkOperation::Upgrade);
        QCOMPARE(f.sheet->timeField(0)->text(), QStringLiteral("5min"));
        QCOMPARE(f.sheet->extraField()->toPlainText(), QStringLiteral("--verbose"));
        QCOMPARE(f.sheet->logView()->shownLineCount(), 0);
        QTRY_VERIFY(!first);
    }

    void theLanguageSwitchesInTheOpenSheet()
    {
        Fixture f(QStringLiteral("jq"));
        QVERIFY(f.open());
        f.l.setLanguage(AppLanguage::ChineseSimplified);
        QCOMPARE(f.sheet->installButton()->title(), QStringLiteral("安装"));
        QCOMPARE(f.sheet->cancelButton()->hint(), std::optional<QString>(QStringLiteral("Esc 或 ⌘.")));
        QCOMPARE(f.sheet->nameField()->placeholderText(), QStringLiteral("软件包名（例如 jq、ffmpeg@6.1）"));
    }
};

REVEZE_GUI_TEST_MAIN(TestInstallSheet)
#include "tst_installsheet.moc"
