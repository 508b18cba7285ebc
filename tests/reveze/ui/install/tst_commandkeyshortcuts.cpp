// The confirm and cancel keys, through real key events on a small host: a
// window with a text field whose key presses are recorded, so a test sees
// both what the handler did and what reached the field.

#include "install/CommandKeyShortcuts.h"
#include "install/DangerousArgumentsDialog.h"
#include "Localizer.h"

#include "GuiTestSupport.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace ReveZE;
using Action = CommandKeyShortcuts::Action;

namespace {

// Counts the key presses that reach a widget (QTest presses the modifier
// keys of a chord on their own first; those do not count).
class KeyRecorder : public QObject
{
public:
    int presses = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Meta)
            ++presses;
        return false;
    }
};

struct Host {
    QWidget window;
    QLineEdit *field = new QLineEdit(&window);
    QWidget *view = new QWidget(&window);
    KeyRecorder recorder;
    int confirms = 0;
    int cancels = 0;
    CommandKeyShortcuts *keys = nullptr;

    Host()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(field);
        layout->addWidget(view);
        field->installEventFilter(&recorder);
        keys = new CommandKeyShortcuts(view, [this] { ++confirms; }, [this] { ++cancels; });
    }

    bool show()
    {
        window.show();
        window.activateWindow();
        field->setFocus();
        return QTest::qWaitForWindowActive(&window);
    }
};

void sendRepeat(QWidget *target, int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    QKeyEvent override(QEvent::ShortcutOverride, key, modifiers, text, true);
    QApplication::sendEvent(target, &override);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text, true);
    QApplication::sendEvent(target, &press);
}

} // namespace

class TestCommandKeyShortcuts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyTable_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("confirms");
        QTest::addColumn<int>("cancels");
        QTest::addColumn<QString>("typed");

        const Qt::KeyboardModifiers none;
        QTest::addRow("Escape cancels") << int(Qt::Key_Escape) << none << 0 << 1 << QString();
        QTest::addRow("Shift+Escape cancels") << int(Qt::Key_Escape) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 0
                                              << 1 << QString();
        QTest::addRow("Ctrl+. cancels") << int(Qt::Key_Period) << Qt::KeyboardModifiers(Qt::ControlModifier) << 0 << 1
                                        << QString();
        QTest::addRow("Return confirms") << int(Qt::Key_Return) << none << 1 << 0 << QString();
        QTest::addRow("Ctrl+Return confirms") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier) << 1
                                              << 0 << QString();
        QTest::addRow("Ctrl+keypad Enter confirms")
            << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::KeypadModifier) << 1 << 0
            << QString();
        // Passed on: the field gets them.
        QTest::addRow("keypad Enter alone passes") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                                   << 0 << 0 << QString();
        QTest::addRow("period types a period") << int(Qt::Key_Period) << none << 0 << 0 << QStringLiteral(".");
        QTest::addRow("a letter is typed") << int(Qt::Key_A) << none << 0 << 0 << QStringLiteral("a");
        QTest::addRow("Left has no text and passes") << int(Qt::Key_Left) << none << 0 << 0 << QString();
        QTest::addRow("F5 has no text and passes") << int(Qt::Key_F5) << none << 0 << 0 << QString();
    }

    void keyTable()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, confirms);
        QFETCH(int, cancels);
        QFETCH(QString, typed);

        Host host;
        QVERIFY(host.show());
        QTest::keyClick(host.field, Qt::Key(key), modifiers);
        QCOMPARE(host.confirms, confirms);
        QCOMPARE(host.cancels, cancels);
        const bool consumed = confirms + cancels > 0;
        // A consumed key never reaches the focused field; a passed one does.
        QCOMPARE(host.recorder.presses, consumed ? 0 : 1);
        QCOMPARE(host.field->text(), typed);
        QCOMPARE(CommandKeyShortcuts::decide(key, modifiers).consumed, consumed);
    }

    void returnInAFieldConfirmsInsteadOfSubmitting()
    {
        Host host;
        QVERIFY(host.show());
        int submitted = 0;
        connect(host.field, &QLineEdit::returnPressed, this, [&] { ++submitted; });
        QTest::keyClick(host.field, Qt::Key_Return);
        QCOMPARE(host.confirms, 1);
        QCOMPARE(submitted, 0);
    }

    // The key's ShortcutOverride is claimed too, so a shortcut of the window
    // on the same key does not take it before the handler sees the press.
    void aWindowShortcutOnTheSameKeyDoesNotFire()
    {
        Host host;
        auto *escape = new QAction(&host.window);
        escape->setShortcut(QKeySequence(Qt::Key_Escape));
        host.window.addAction(escape);
        int fired = 0;
        connect(escape, &QAction::triggered, this, [&] { ++fired; });
        QVERIFY(host.show());
        QTest::keyClick(host.field, Qt::Key_Escape);
        QCOMPARE(fired, 0);
        QCOMPARE(host.cancels, 1);
    }

    // A held key acts once: its repeats are consumed and act on nothing. A
    // held Escape would otherwise cancel a run and then close the sheet.
    void autoRepeatsAreConsumedAndActOnNothing_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addRow("Escape") << int(Qt::Key_Escape) << Qt::KeyboardModifiers() << QStringLiteral("\x1b");
        QTest::addRow("Return") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << QStringLiteral("\r");
        QTest::addRow("Ctrl+.") << int(Qt::Key_Period) << Qt::KeyboardModifiers(Qt::ControlModifier)
                                << QStringLiteral(".");
        QTest::addRow("Ctrl+keypad Enter") << int(Qt::Key_Enter)
                                           << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::KeypadModifier)
                                           << QStringLiteral("\r");
    }

    void autoRepeatsAreConsumedAndActOnNothing()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, text);

        Host host;
        QVERIFY(host.show());
        for (int i = 0; i < 5; ++i)
            sendRepeat(host.field, key, modifiers, text);
        QCOMPARE(host.confirms + host.cancels, 0);
        QCOMPARE(host.recorder.presses, 0);
        // The first real press still acts.
        QTest::keyClick(host.field, Qt::Key(key), modifiers);
        QCOMPARE(host.confirms + host.cancels, 1);
    }

    void aRepeatOfAKeyThatPassesIsTyped()
    {
        Host host;
        QVERIFY(host.show());
        sendRepeat(host.field, Qt::Key_Period, {}, QStringLiteral("."));
        QCOMPARE(host.field->text(), QStringLiteral("."));
    }

    void theHandlerLivesWhileItsViewIsShown()
    {
        Host host;
        QVERIFY(!host.keys->isInstalled());
        QVERIFY(host.show());
        QVERIFY(host.keys->isInstalled());

        host.view->hide();
        QVERIFY(!host.keys->isInstalled());
        // Escape and Return behave normally in the window again.
        int submitted = 0;
        connect(host.field, &QLineEdit::returnPressed, this, [&] { ++submitted; });
        QTest::keyClick(host.field, Qt::Key_Return);
        QTest::keyClick(host.field, Qt::Key_Escape);
        QCOMPARE(submitted, 1);
        QCOMPARE(host.recorder.presses, 2);
        QCOMPARE(host.confirms + host.cancels, 0);

        host.view->show();
        QVERIFY(host.keys->isInstalled());
        QTest::keyClick(host.field, Qt::Key_Escape);
        QCOMPARE(host.cancels, 1);

        // Hiding the whole window removes it too.
        host.window.hide();
        QVERIFY(!host.keys->isInstalled());
    }

    void keysOfAnotherWindowAreLeftAlone()
    {
        Host host;
        QVERIFY(host.show());
        QWidget other;
        auto *field = new QLineEdit(&other);
        KeyRecorder recorder;
        field->installEventFilter(&recorder);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QTest::keyClick(field, Qt::Key_Escape);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(host.confirms + host.cancels, 0);
        QCOMPARE(recorder.presses, 2);
    }

    // With the dialog over its host, the dialog's keys act and the host's do
    // not, whatever order the two were made in.
    void theDialogsHandlerTakesPrecedence_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("confirm");
        QTest::addRow("Escape") << int(Qt::Key_Escape) << false;
        QTest::addRow("Return") << int(Qt::Key_Return) << true;
    }

    void theDialogsHandlerTakesPrecedence()
    {
        QFETCH(int, key);
        QFETCH(bool, confirm);

        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        Localizer l(AppLanguage::English, {&settings, QStringList{QStringLiteral("en-US")}});
        Host host;
        QVERIFY(host.show());
        int dialogConfirms = 0;
        int dialogCancels = 0;
        auto *dialog = new DangerousArgumentsDialog(
            l, {ZelkKit::SafetyWarning(QStringLiteral("--force"), ZelkKit::SafetyWarning::Reason::UnsupportedOS)},
            [&] { ++dialogCancels; }, [&] { ++dialogConfirms; }, &host.window);
        dialog->setFadeDuration(0);
        dialog->present();
        QVERIFY(dialog->keys()->isInstalled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCOMPARE(dialogConfirms, confirm ? 1 : 0);
        QCOMPARE(dialogCancels, confirm ? 0 : 1);
        QCOMPARE(host.confirms + host.cancels, 0);

        // Once the dialog is gone, the host's keys are back.
        QPointer<DangerousArgumentsDialog> guard(dialog);
        dialog->dismiss();
        QTRY_VERIFY(!guard);
        QTest::keyClick(host.field, Qt::Key(key));
        QCOMPARE(host.confirms, confirm ? 1 : 0);
        QCOMPARE(host.cancels, confirm ? 0 : 1);
    }

    // An action that closes the view (Escape closing a sheet) is safe.
    void anActionMayDeleteItsView()
    {
        QWidget window;
        auto *field = new QLineEdit(&window);
        auto *view = new QWidget(&window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(field);
        layout->addWidget(view);
        QPointer<QWidget> guard(view);
        new CommandKeyShortcuts(view, [] {}, [view] { delete view; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!guard);
        // Nothing is left installed: Return reaches the field.
        int submitted = 0;
        connect(field, &QLineEdit::returnPressed, this, [&] { ++submitted; });
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(submitted, 1);
    }
};

REVEZE_GUI_TEST_MAIN(TestCommandKeyShortcuts)
#include "tst_commandkeyshortcuts.moc"
