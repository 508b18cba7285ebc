// The sheet's footer button: its colours by tone and state, its click area,
// its size with and without a hint, and that it takes no keys in a dialog.

#include "install/DialogButton.h"
#include "install/InstallStyle.h"
#include "widgets/Palette.h"

#include "GuiTestSupport.h"

#include <QDialog>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

using namespace ReveZE;
using Tone = DialogButton::Tone;

class TestDialogButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void colours_data()
    {
        QTest::addColumn<Tone>("tone");
        QTest::addColumn<bool>("enabled");
        QTest::addRow("confirm") << Tone::Confirm << true;
        QTest::addRow("cancel") << Tone::Cancel << true;
        QTest::addRow("disabled confirm") << Tone::Confirm << false;
        QTest::addRow("disabled cancel") << Tone::Cancel << false;
    }

    void colours()
    {
        QFETCH(Tone, tone);
        QFETCH(bool, enabled);
        DialogButton button(QStringLiteral("Install"), QStringLiteral("⌘ ↩"), tone);
        button.setEnabled(enabled);
        const QColor toneColour = tone == Tone::Confirm ? InstallStyle::blue() : Palette::red();
        const QColor grey = Palette::zelkSecondary(button.palette());
        QCOMPARE(button.titleColour(), enabled ? toneColour : grey);
        QCOMPARE(*button.hintColour(), Palette::withOpacity(enabled ? toneColour : grey, 0.55));
        QCOMPARE(button.borderColour(), enabled ? toneColour : Palette::withOpacity(grey, 0.4));
    }

    void aDisabledButtonIgnoresClicks()
    {
        QWidget window;
        auto *button = new DialogButton(QStringLiteral("Install"), std::nullopt, Tone::Confirm, &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        button->setEnabled(false);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        QCOMPARE(clicked.count(), 0);
        button->setEnabled(true);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        QCOMPARE(clicked.count(), 1);
        // The whole rounded rectangle takes clicks, up to near its edge.
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() / 2, 1));
        QCOMPARE(clicked.count(), 2);
        // The corner outside the rounding does not.
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(clicked.count(), 2);
    }

    void withoutAHintItShowsTheTitleAlone()
    {
        DialogButton alone(QStringLiteral("Done"), std::nullopt, Tone::Cancel);
        DialogButton hinted(QStringLiteral("Done"), QStringLiteral("Esc / ⌘."), Tone::Cancel);
        QVERIFY(!alone.hintColour());
        const QFontMetricsF metrics(alone.font());
        // The title and 10 points of padding on each side.
        QCOMPARE(alone.sizeHint().width(), int(std::ceil(metrics.horizontalAdvance(QStringLiteral("Done")) + 20)));
        QCOMPARE(hinted.sizeHint().width(),
                 int(std::ceil(metrics.horizontalAdvance(QStringLiteral("Done")) + 4
                               + metrics.horizontalAdvance(QStringLiteral("Esc / ⌘.")) + 20)));
        QCOMPARE(hinted.accessibleName(), QStringLiteral("Done"));
        QCOMPARE(hinted.accessibleDescription(), QStringLiteral("Esc / ⌘."));

        // A hint removed later leaves the title alone as well.
        hinted.setHint(std::nullopt);
        QCOMPARE(hinted.sizeHint(), alone.sizeHint());
    }

    // Unlike a QPushButton it never becomes a dialog's default button: Return
    // in a dialog does not press it, even with focus on it.
    void itTakesNoReturnInADialog()
    {
        QDialog dialog;
        auto *layout = new QHBoxLayout(&dialog);
        auto *button = new DialogButton(QStringLiteral("Install"), QStringLiteral("⌘ ↩"), Tone::Confirm, &dialog);
        layout->addWidget(button);
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(dialog.isVisible());
    }
};

REVEZE_GUI_TEST_MAIN(TestDialogButton)
#include "tst_dialogbutton.moc"
