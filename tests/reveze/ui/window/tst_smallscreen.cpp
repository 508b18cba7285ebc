// ReveZE on a small screen (1024 × 600): the real application over zelk-sim's
// demo tree, in every section and both languages. Each column keeps at least
// what its controls need, so no control is squeezed under another or past
// its column; the install sheet stays within the window and, when the window
// is too short for it, scrolls, with Tab bringing the control it reaches
// into view.

#include "InstallRunner.h"
#include "install/DialogButton.h"
#include "install/InstallSheet.h"
#include "install/SheetScrollArea.h"

#include "GuiTestSupport.h"
#include "SimApp.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QTest>
#include <QToolBar>

using namespace ReveZE;

namespace {

constexpr QSize smallScreen{1024, 600};

QString describe(const QWidget *widget)
{
    return QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') + widget->objectName();
}

// The scroll area whose viewport clips `widget`, if any (below `top`).
const QAbstractScrollArea *clippingArea(const QWidget *widget, const QWidget *top)
{
    for (const QWidget *parent = widget->parentWidget(); parent && parent != top; parent = parent->parentWidget()) {
        if (const auto *area = qobject_cast<const QAbstractScrollArea *>(parent); area && area->viewport()->isAncestorOf(widget))
            return area;
    }
    return nullptr;
}

bool isControl(const QWidget *widget)
{
    return qobject_cast<const QAbstractButton *>(widget) || qobject_cast<const QLineEdit *>(widget)
        || qobject_cast<const QComboBox *>(widget) || qobject_cast<const QAbstractItemView *>(widget);
}

// What is wrong with the controls shown in `area`: one past the area's sides,
// or two that cover each other (within the same scrolled content).
QStringList crowding(const QWidget *area)
{
    QList<const QWidget *> controls;
    for (const QWidget *widget : area->findChildren<QWidget *>()) {
        if (widget->window() == area->window() && widget->isVisible() && isControl(widget))
            controls.append(widget);
    }
    const QRect bounds(area->mapTo(area->window(), QPoint()), area->size());
    QStringList problems;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget *a = controls.at(i);
        const QRect ra(a->mapTo(a->window(), QPoint()), a->size());
        if (ra.left() < bounds.left() || ra.right() > bounds.right())
            problems.append(describe(a) + QStringLiteral(" runs past its column"));
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QWidget *b = controls.at(j);
            if (a->isAncestorOf(b) || b->isAncestorOf(a) || clippingArea(a, area) != clippingArea(b, area))
                continue;
            const QRect rb(b->mapTo(b->window(), QPoint()), b->size());
            if (ra.intersects(rb))
                problems.append(describe(a) + QStringLiteral(" covers ") + describe(b));
        }
    }
    return problems;
}

// Whether `widget` is within the visible part of its sheet's scroll area.
bool inView(const InstallSheet *sheet, const QWidget *widget)
{
    const QWidget *viewport = sheet->scrollArea()->viewport();
    return viewport->rect().contains(QRect(widget->mapTo(viewport, QPoint()), widget->size()));
}

} // namespace

class TestSmallScreen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void columnsKeepWhatTheirControlsNeed_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("section");
        for (AppLanguage language : allLanguages()) {
            for (SidebarItem item : allSidebarItems())
                QTest::addRow("%s, %s", language == AppLanguage::English ? "en" : "zh", qPrintable(rawValue(item)))
                    << int(language) << int(item);
        }
    }

    void columnsKeepWhatTheirControlsNeed()
    {
        QFETCH(int, language);
        QFETCH(int, section);
        GuiTestSupport::SimApp a{AppLanguage(language)};
        ContentView &window = a.window();
        window.resize(smallScreen);
        QVERIFY(a.show());
        window.setSelectedPackage(QStringLiteral("curl"));
        window.setSection(SidebarItem(section));
        QTRY_VERIFY(a.settled());
        QCOMPARE(window.size(), smallScreen);

        QSplitter *columns = window.columns();
        const int floors[] = {ContentView::sidebarMinimumWidth, ContentView::contentMinimumWidth,
                              ContentView::detailMinimumWidth};
        int total = 0;
        for (int i = 0; i < columns->count(); ++i) {
            QWidget *column = columns->widget(i);
            QVERIFY(column->isVisible());
            QVERIFY2(column->width() >= floors[i] && column->width() >= column->minimumSizeHint().width(),
                     qPrintable(QStringLiteral("%1 is %2 wide, needs %3").arg(column->objectName()).arg(column->width()).arg(
                         std::max(floors[i], column->minimumSizeHint().width()))));
            total += column->width();
            const QStringList problems = crowding(column);
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        }
        // The three share the whole width; none is pushed out of the window.
        QCOMPARE(total + (columns->count() - 1) * columns->handleWidth(), columns->width());
        QCOMPARE(columns->width(), window.width());
        const QStringList toolbar = crowding(window.toolbar());
        QVERIFY2(toolbar.isEmpty(), qPrintable(toolbar.join(QLatin1Char('\n'))));
    }

    void theSheetStaysInTheWindowAndScrollsWhenItMust_data()
    {
        QTest::addColumn<int>("language");
        for (AppLanguage language : allLanguages())
            QTest::addRow("%s", language == AppLanguage::English ? "en" : "zh") << int(language);
    }

    void theSheetStaysInTheWindowAndScrollsWhenItMust()
    {
        QFETCH(int, language);
        GuiTestSupport::SimApp a{AppLanguage(language)};
        ContentView &window = a.window();
        window.resize(smallScreen);
        QVERIFY(a.show());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::ControlModifier);
        QTRY_VERIFY(window.installSheet());
        auto *sheet = qobject_cast<InstallSheet *>(window.installSheet());
        QVERIFY(sheet);
        QVERIFY(QTest::qWaitForWindowActive(sheet));
        QTRY_COMPARE(QApplication::focusWidget(), sheet->nameField());
        // The form's tallest: the name's hint and a three-line danger line.
        QTest::keyClicks(sheet->nameField(), QStringLiteral("shellcheck -x"));
        sheet->extraField()->setPlainText(QStringLiteral("--skip-ssl\n-F\n--proxy http://127.0.0.1:8080"));
        QVERIFY(sheet->hintRow()->isVisible());
        QVERIFY(sheet->dangerRow()->isVisible());

        // At 1024 × 600 the whole form fits: nothing scrolls.
        QTRY_COMPARE(sheet->height(), sheet->scrollArea()->contentHeight());
        QVERIFY(sheet->height() <= window.height());
        QVERIFY(sheet->width() <= window.width());
        QVERIFY(!sheet->scrollArea()->scrolls());
        QVERIFY(!sheet->scrollArea()->verticalScrollBar()->isVisible());

        // A shorter window: the sheet shrinks with it and scrolls.
        window.resize(smallScreen.width(), 400);
        QTRY_VERIFY(sheet->height() <= 400);
        QVERIFY(sheet->scrollArea()->scrolls());
        QTRY_VERIFY(sheet->scrollArea()->verticalScrollBar()->isVisible());
        QVERIFY(sheet->scrollArea()->verticalScrollBar()->maximum() > 0);
        QVERIFY(inView(sheet, sheet->nameField()));
        QVERIFY(!inView(sheet, sheet->cancelButton()));
        // Tab brings the footer into view, Shift+Tab the name field again.
        for (int i = 0; i < 20 && QApplication::focusWidget() != sheet->cancelButton(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), sheet->cancelButton());
        QVERIFY(inView(sheet, sheet->cancelButton()));
        for (int i = 0; i < 20 && QApplication::focusWidget() != sheet->nameField(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), sheet->nameField());
        QVERIFY(inView(sheet, sheet->nameField()));

        // Back at full height nothing scrolls again.
        window.resize(smallScreen);
        QTRY_COMPARE(sheet->height(), sheet->scrollArea()->contentHeight());
        QVERIFY(!sheet->scrollArea()->scrolls());

        // The run's face, the tallest of the sheet's faces, fits too; Done is
        // reached by Tab also when the window is short.
        sheet->extraField()->clear();
        QTest::keyClick(sheet->nameField(), Qt::Key_End);
        QTest::keyClick(sheet->nameField(), Qt::Key_Backspace);
        QTest::keyClick(sheet->nameField(), Qt::Key_Backspace);
        QTest::keyClick(sheet->nameField(), Qt::Key_Backspace);
        QCOMPARE(sheet->packageName(), QStringLiteral("shellcheck"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(sheet->runner()->finished(), GuiTestSupport::SimApp::runTimeout);
        QTRY_COMPARE(sheet->height(), sheet->scrollArea()->contentHeight());
        QVERIFY(sheet->height() <= window.height());
        window.resize(smallScreen.width(), 400);
        QTRY_VERIFY(sheet->height() <= 400);
        for (int i = 0; i < 20 && QApplication::focusWidget() != sheet->doneButton(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), sheet->doneButton());
        QVERIFY(inView(sheet, sheet->doneButton()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!window.showingInstall());
    }
};

REVEZE_GUI_TEST_MAIN(TestSmallScreen)

#include "tst_smallscreen.moc"
