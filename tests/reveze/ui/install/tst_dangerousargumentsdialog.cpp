// The confirmation dialog over a small host with a text field: its rows,
// its backdrop and card, its modality, its fade and its accessibility.

#include "install/DangerCardButton.h"
#include "install/DangerousArgumentsDialog.h"
#include "Localizer.h"

#include "GuiTestSupport.h"

#include <QAccessible>
#include <QGraphicsOpacityEffect>
#include <QSignalSpy>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace ReveZE;
using ZelkKit::SafetyWarning;

namespace {

QList<SafetyWarning> bothWarnings()
{
    return {SafetyWarning(QStringLiteral("--skip-ssl"), SafetyWarning::Reason::InsecureTransport),
            SafetyWarning(QStringLiteral("--force"), SafetyWarning::Reason::UnsupportedOS)};
}

struct Fixture {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    Localizer l{AppLanguage::English, {&settings, QStringList{QStringLiteral("en-US")}}};
    QWidget host;
    QLineEdit *field = new QLineEdit(&host);
    int cancels = 0;
    int confirms = 0;
    QPointer<DangerousArgumentsDialog> dialog;

    Fixture()
    {
        auto *layout = new QVBoxLayout(&host);
        layout->addWidget(field);
        layout->addStretch(1);
        host.resize(560, 520);
    }

    bool present(QList<SafetyWarning> warnings = bothWarnings(), int fade = 0)
    {
        host.show();
        host.activateWindow();
        field->setFocus();
        if (!QTest::qWaitForWindowActive(&host))
            return false;
        dialog = new DangerousArgumentsDialog(
            l, std::move(warnings), [this] { ++cancels; }, [this] { ++confirms; }, &host);
        dialog->setFadeDuration(fade);
        dialog->present();
        return dialog->isVisible();
    }
};

QStringList texts(const QList<QLabel *> &labels)
{
    QStringList result;
    for (const QLabel *label : labels)
        result.append(label->text());
    return result;
}

} // namespace

class TestDangerousArgumentsDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneRowPerWarningInOrder()
    {
        Fixture f;
        QVERIFY(f.present());
        QCOMPARE(texts(f.dialog->flagLabels()), (QStringList{QStringLiteral("--skip-ssl"), QStringLiteral("--force")}));
        QCOMPARE(texts(f.dialog->explanationLabels()),
                 (QStringList{QStringLiteral("turns off TLS certificate verification"),
                              QStringLiteral("installs even when the package declares a newer macOS")}));
        QCOMPARE(f.dialog->findChild<QLabel *>(QStringLiteral("dangerTitle"))->text(),
                 QStringLiteral("Dangerous arguments"));
        QCOMPARE(f.dialog->findChild<QLabel *>(QStringLiteral("dangerIntro"))->text(),
                 QStringLiteral("These arguments weaken a safety check:"));
        QCOMPARE(f.dialog->cancelButton()->text(), QStringLiteral("Cancel"));
        QCOMPARE(f.dialog->confirmButton()->text(), QStringLiteral("Install anyway"));
        // Rows stand one below the other, in the card, in their order.
        const QList<QLabel *> flags = f.dialog->flagLabels();
        QVERIFY(flags.at(0)->geometry().bottom() < flags.at(1)->geometry().top());
        QCOMPARE(f.dialog->card()->width(), DangerousArgumentsDialog::cardWidth);
        QCOMPARE(f.dialog->geometry(), f.host.rect());

        // A switch of language reaches the open dialog.
        f.l.setLanguage(AppLanguage::ChineseSimplified);
        QCOMPARE(texts(f.dialog->explanationLabels()),
                 (QStringList{QStringLiteral("关闭 TLS 证书校验"),
                              QStringLiteral("即使软件包声明更高的 macOS 版本也强行安装")}));
        QCOMPARE(f.dialog->confirmButton()->text(), QStringLiteral("仍然安装"));
    }

    void theBackdropCancelsAndTheCardDoesNothing()
    {
        Fixture f;
        QVERIFY(f.present());
        const QRect card = f.dialog->card()->geometry();
        // Inside the card, outside its buttons: the intro line.
        auto *intro = f.dialog->findChild<QLabel *>(QStringLiteral("dangerIntro"));
        QTest::mouseClick(intro, Qt::LeftButton, {}, intro->rect().center());
        QTest::mouseClick(f.dialog->card(), Qt::LeftButton, {}, QPoint(card.width() / 2, card.height() - 4));
        QCOMPARE(f.cancels + f.confirms, 0);
        // Above the card: the dimmed backdrop.
        QTest::mouseClick(f.dialog, Qt::LeftButton, {}, QPoint(card.center().x(), card.top() / 2));
        QCOMPARE(f.cancels, 1);
        QCOMPARE(f.confirms, 0);
    }

    void theButtonsAct_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addRow("Cancel") << false;
        QTest::addRow("Install anyway") << true;
    }

    void theButtonsAct()
    {
        QFETCH(bool, confirm);
        Fixture f;
        QVERIFY(f.present());
        DangerCardButton *button = confirm ? f.dialog->confirmButton() : f.dialog->cancelButton();
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        QCOMPARE(f.confirms, confirm ? 1 : 0);
        QCOMPARE(f.cancels, confirm ? 0 : 1);
    }

    // Modal within the host: typing does not reach the field beneath, Tab
    // stays in the card, and the host gets its field and focus back after.
    void itTakesTheKeysAndTheFocus()
    {
        Fixture f;
        QVERIFY(f.present());
        QVERIFY(!f.field->isEnabled());
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QVERIFY(f.dialog->card()->isAncestorOf(focus));

        QTest::keyClicks(focus, QStringLiteral("abc"));
        QTest::keyClicks(f.field, QStringLiteral("xyz"));
        QCOMPARE(f.field->text(), QString());
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(f.dialog->card()->isAncestorOf(QApplication::focusWidget()));
        }
        QCOMPARE(f.cancels + f.confirms, 0);

        f.dialog->dismiss();
        QTRY_VERIFY(!f.dialog);
        QVERIFY(f.field->isEnabled());
        QCOMPARE(QApplication::focusWidget(), f.field);
        QTest::keyClicks(f.field, QStringLiteral("jq"));
        QCOMPARE(f.field->text(), QStringLiteral("jq"));
    }

    void aControlDisabledOnPurposeStaysDisabled()
    {
        Fixture f;
        auto *off = new QLineEdit(&f.host);
        off->setEnabled(false);
        QVERIFY(f.present());
        f.dialog->dismiss();
        QTRY_VERIFY(!f.dialog);
        QVERIFY(f.field->isEnabled());
        QVERIFY(!off->isEnabled());
    }

    // Each action acts once, also while the dialog fades out: a second click
    // or a Return during the fade does not start a second run.
    void actionsActOnceAlsoDuringTheFadeOut()
    {
        Fixture f;
        QVERIFY(f.present(bothWarnings(), 1500));
        QTest::mouseClick(f.dialog->confirmButton(), Qt::LeftButton, {}, f.dialog->confirmButton()->rect().center());
        QCOMPARE(f.confirms, 1);
        f.dialog->dismiss();
        QVERIFY(f.dialog->isVisible());
        QVERIFY(f.dialog->isDismissing());
        QTest::mouseClick(f.dialog->confirmButton(), Qt::LeftButton, {}, f.dialog->confirmButton()->rect().center());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::mouseClick(f.dialog->cancelButton(), Qt::LeftButton, {}, f.dialog->cancelButton()->rect().center());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::mouseClick(f.dialog, Qt::LeftButton, {}, QPoint(4, 4));
        QCOMPARE(f.confirms, 1);
        QCOMPARE(f.cancels, 0);
        // Nothing typed during the fade reaches the field either.
        QCOMPARE(f.field->text(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(!f.dialog, 10000);
        QVERIFY(f.field->isEnabled());
    }

    void itFadesInAndOut()
    {
        Fixture f;
        QVERIFY(f.present(bothWarnings(), 100));
        auto *effect = qobject_cast<QGraphicsOpacityEffect *>(f.dialog->graphicsEffect());
        QVERIFY(effect);
        QVERIFY(effect->opacity() < 1);
        QTRY_COMPARE(effect->opacity(), 1.0);
        QTRY_VERIFY(!effect->isEnabled());
        f.dialog->dismiss();
        QVERIFY(effect->isEnabled());
        QSignalSpy dismissed(f.dialog.data(), &DangerousArgumentsDialog::dismissed);
        QTRY_COMPARE(dismissed.count(), 1);
        QTRY_VERIFY(!f.dialog);
    }

    void itFollowsTheHostsSize()
    {
        Fixture f;
        QVERIFY(f.present());
        f.host.resize(700, 640);
        QCOMPARE(f.dialog->geometry(), f.host.rect());
        QCOMPARE(f.dialog->card()->geometry().center().x(), f.host.rect().center().x());
    }

    void theCardIsOneModalDialogForScreenReaders()
    {
        Fixture f;
        QVERIFY(f.present());
        QAccessibleInterface *card = QAccessible::queryAccessibleInterface(f.dialog->card());
        QVERIFY(card);
        QCOMPARE(card->role(), QAccessible::Dialog);
        QVERIFY(card->state().modal);
        QCOMPARE(card->text(QAccessible::Name), QStringLiteral("Dangerous arguments"));
        QCOMPARE(f.dialog->cancelButton()->accessibleName(), QStringLiteral("Cancel"));
        QCOMPARE(f.dialog->confirmButton()->accessibleName(), QStringLiteral("Install anyway"));
    }

    void explanationByReason()
    {
        Fixture f;
        QCOMPARE(DangerousArgumentsDialog::explanation(SafetyWarning::Reason::InsecureTransport, f.l),
                 QStringLiteral("turns off TLS certificate verification"));
        QCOMPARE(DangerousArgumentsDialog::explanation(SafetyWarning::Reason::UnsupportedOS, f.l),
                 QStringLiteral("installs even when the package declares a newer macOS"));
    }
};

REVEZE_GUI_TEST_MAIN(TestDangerousArgumentsDialog)
#include "tst_dangerousargumentsdialog.moc"
