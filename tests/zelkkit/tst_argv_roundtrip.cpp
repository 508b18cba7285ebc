// The argument vector of an operation reaches zelk exactly as composed: each
// element one argv entry, with no shell in between to split, join or expand
// it. A fixture child echoes its argv NUL-terminated, so blanks, quotes,
// empty words and line feeds inside arguments all survive the comparison.
#include "OperationArguments.h"
#include "TestSupport.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace ZelkKit;

class TestArgvRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
};

namespace {

QString s(const char16_t *text)
{
    return QString::fromUtf16(text);
}

QStringList receivedArguments(const QByteArray &output)
{
    QStringList arguments;
    qsizetype start = 0;
    for (qsizetype end = output.indexOf('\0'); end >= 0; end = output.indexOf('\0', start)) {
        arguments.append(QString::fromUtf8(output.mid(start, end - start)));
        start = end + 1;
    }
    // Anything after the last NUL would be a truncated element.
    if (start != output.size())
        arguments.append(QStringLiteral("<unterminated: %1>").arg(QString::fromUtf8(output.mid(start))));
    return arguments;
}

} // namespace

void TestArgvRoundTrip::roundTrip_data()
{
    QTest::addColumn<QStringList>("packages");
    QTest::addColumn<QString>("maxTime");
    QTest::addColumn<QString>("extraArguments");
    QTest::addColumn<int>("elementCount");

    QTest::addRow("plain") << QStringList{s(u"jq")} << QString() << s(u"--verbose") << 3;
    QTest::addRow("blank inside a quoted word") << QStringList{s(u"jq")} << QString()
                                                << s(u"--proxy \"host name:8080\"") << 4;
    QTest::addRow("blank-only package") << QStringList{s(u" "), s(u"\tjq ")} << QString() << QString() << 3;
    QTest::addRow("quotes inside words") << QStringList{s(u"jq")} << QString()
                                         << s(u"'say \"hi\"' \"it's\" \"a\\\"b\"") << 5;
    QTest::addRow("empty words") << QStringList{s(u"jq")} << QString() << s(u"'' \"\" x") << 5;
    QTest::addRow("backslashes") << QStringList{s(u"jq")} << QString() << s(u"a\\ 'b\\c' \"d\\\\e\"") << 5;
    QTest::addRow("Chinese") << QStringList{s(u"\u5305")} << QString() << s(u"--note \u4F60\u597D\u4E16\u754C") << 4;
    QTest::addRow("emoji") << QStringList{s(u"jq")} << QString()
                           << s(u"\U0001F468\u200D\U0001F469\u200D\U0001F467 \U0001F1EF\U0001F1F5") << 4;
    QTest::addRow("line feed inside a quoted word") << QStringList{s(u"jq")} << QString()
                                                    << s(u"'line one\nline two' \"tab\there\"") << 4;
    QTest::addRow("CR LF and carriage return") << QStringList{s(u"jq")} << QString() << s(u"a\r\nb c\rd") << 4;
    QTest::addRow("time limit value") << QStringList{s(u"jq")} << s(u" 1 min\n") << QString() << 4;
    QTest::addRow("shell syntax is not interpreted") << QStringList{s(u"$HOME")} << QString()
                                                     << s(u"*; `id` $(id) | > /tmp/x ~") << 9;
}

void TestArgvRoundTrip::roundTrip()
{
    QFETCH(QStringList, packages);
    QFETCH(QString, maxTime);
    QFETCH(QString, extraArguments);
    QFETCH(int, elementCount);

    const OperationArguments request(ZelkOperation::Install, packages, false, false, maxTime, QString(), QString(),
                                     extraArguments, false, false);
    const QStringList arguments = request.argumentList();
    // Guards the row itself: the words must be the ones the row means.
    QCOMPARE(arguments.size(), elementCount);

    QProcess child;
    QSignalSpy finished(&child, &QProcess::finished);
    child.start(TestSupport::fixture(QStringLiteral("echo_argv")), arguments);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 60000);
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);

    const QStringList received = receivedArguments(child.readAllStandardOutput());
    QCOMPARE(received.size(), arguments.size());
    for (qsizetype i = 0; i < arguments.size(); ++i)
        QCOMPARE(received.at(i), arguments.at(i));
}

REVEZE_TEST_MAIN(TestArgvRoundTrip)
#include "tst_argv_roundtrip.moc"
