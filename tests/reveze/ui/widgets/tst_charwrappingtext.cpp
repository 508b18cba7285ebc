// CharWrappingText: long unbroken values wrap inside their column, a plain
// field can be selected and copied, a link field opens its address (by a
// click, or by Space or Return once Tab reached it) and is not selectable,
// and the kind of field never changes after it is made.

#include "widgets/CharWrappingText.h"

#include "GuiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>

using namespace ReveZE;

// Receives the addresses QDesktopServices would open, so no browser starts.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

class TestCharWrappingText : public QObject
{
    Q_OBJECT

private:
    UrlCatcher m_catcher;

    // A 300-point column holding the field above a label.
    struct Column {
        QWidget widget;
        CharWrappingText *text;
        explicit Column(CharWrappingText *field)
            : text(field)
        {
            auto *layout = new QVBoxLayout(&widget);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(field);
            layout->addStretch(1);
            widget.setFixedWidth(300);
            widget.resize(300, 400);
        }
    };

private Q_SLOTS:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_catcher, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_catcher, "open");
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }

    void init() { m_catcher.opened.clear(); }

    void longPathWrapsInsideItsColumn()
    {
        const QString path = QStringLiteral("/opt/rurirud/") + QString(187, QLatin1Char('x'));
        QCOMPARE(path.size(), 200);
        Column column(new CharWrappingText(path));
        column.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&column.widget));

        CharWrappingText *text = column.text;
        QCOMPARE(text->width(), 300);
        const int lines = text->lineCount(300);
        QVERIFY2(lines >= 3, qPrintable(QString::number(lines)));
        // The row grows to the measured height; the text never widens the column.
        const int measured = text->heightForWidth(300);
        QCOMPARE(text->height(), measured);
        QCOMPARE(column.widget.width(), 300);
        QVERIFY(text->heightForWidth(150) > measured);
        // A short text takes one line.
        text->setContent(QStringLiteral("jq"), std::nullopt);
        QCOMPARE(text->lineCount(300), 1);
    }

    void plainFieldIsSelectableAndCopies()
    {
        Column column(new CharWrappingText(QStringLiteral("sha256:0123456789abcdef")));
        column.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&column.widget));
        CharWrappingText *text = column.text;
        QVERIFY(!text->isLinkField());
        QVERIFY(text->isSelectable());
        QCOMPARE(text->cursor().shape(), Qt::IBeamCursor);
        QCOMPARE(text->textColour(), text->palette().color(QPalette::WindowText));
        QVERIFY(!text->isUnderlined());

        // A drag from the left edge to the far right selects the line.
        const int y = text->height() / 2;
        QTest::mousePress(text, Qt::LeftButton, {}, QPoint(0, y));
        QMouseEvent move(QEvent::MouseMove, QPointF(text->width() - 1, y), text->mapToGlobal(QPointF(text->width() - 1, y)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(text, &move);
        QTest::mouseRelease(text, Qt::LeftButton, {}, QPoint(text->width() - 1, y));
        QCOMPARE(text->selectedText(), QStringLiteral("sha256:0123456789abcdef"));

        QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("sha256:0123456789abcdef"));
        QVERIFY(m_catcher.opened.isEmpty());
    }

    void linkFieldOpensItsAddress()
    {
        const QUrl url(QStringLiteral("https://example.org/jq"));
        Column column(new CharWrappingText(QStringLiteral("https://example.org/jq"), url));
        column.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&column.widget));
        CharWrappingText *text = column.text;
        QVERIFY(text->isLinkField());
        QVERIFY(!text->isSelectable());
        QCOMPARE(text->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(text->textColour(), text->palette().color(QPalette::Link));
        QVERIFY(text->isUnderlined());

        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(5, text->height() / 2));
        QCOMPARE(m_catcher.opened, QList<QUrl>{url});
        // Not selectable: select-all does nothing.
        text->selectAll();
        QCOMPARE(text->selectedText(), QString());
    }

    void linkFieldIsReachedAndOpenedByKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("opens");
        QTest::addRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier) << true;
        QTest::addRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
        QTest::addRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
        QTest::addRow("Ctrl+Return") << int(Qt::Key_Return) << int(Qt::ControlModifier) << false;
        QTest::addRow("a letter") << int(Qt::Key_A) << int(Qt::NoModifier) << false;
    }

    void linkFieldIsReachedAndOpenedByKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, opens);
        const QUrl url(QStringLiteral("https://example.org/jq"));
        auto *link = new CharWrappingText(QStringLiteral("https://example.org/jq"), url);
        Column column(link);
        auto *before = new QLineEdit(&column.widget);
        before->move(0, 300);
        auto *plain = new CharWrappingText(QStringLiteral("/opt/rurirud"), std::nullopt, &column.widget);
        plain->move(0, 340);
        QWidget::setTabOrder(before, link);
        QWidget::setTabOrder(link, plain);
        column.widget.show();
        QVERIFY(QTest::qWaitForWindowActive(&column.widget));
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), link);
        QTest::keyClick(link, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_catcher.opened, opens ? QList<QUrl>{url} : QList<QUrl>{});
        // A plain field is no stop of Tab (it takes the focus by a click).
        QTest::keyClick(link, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), before);
    }

    void plainFieldGivenALinkLaterStaysPlain()
    {
        Column column(new CharWrappingText(QStringLiteral("example.org")));
        column.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&column.widget));
        CharWrappingText *text = column.text;
        text->setContent(QStringLiteral("example.org"), QUrl(QStringLiteral("https://example.org")));
        QCOMPARE(text->textColour(), text->palette().color(QPalette::Link));
        QVERIFY(text->isUnderlined());
        QVERIFY(!text->isLinkField());
        QCOMPARE(text->cursor().shape(), Qt::IBeamCursor);
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(5, text->height() / 2));
        QVERIFY(m_catcher.opened.isEmpty());
    }
};

REVEZE_GUI_TEST_MAIN(TestCharWrappingText)

#include "tst_charwrappingtext.moc"
