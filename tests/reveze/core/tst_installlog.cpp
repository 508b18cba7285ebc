// The runner's log container: a list of LogLine in order across chunk
// boundaries, snapshots that do not see later lines, and fresh identifiers.

#include "InstallLog.h"

#include "TestSupport.h"

#include <QSet>
#include <QTest>

using namespace ReveZE;

namespace {

InstallLog logOf(qsizetype count)
{
    InstallLog log;
    for (qsizetype i = 0; i < count; ++i)
        log.append(LogLine::make(QString::number(i), i % 7 == 0));
    return log;
}

} // namespace

class TestInstallLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesStayInOrderAcrossChunks_data()
    {
        QTest::addColumn<qsizetype>("count");
        QTest::addRow("empty") << qsizetype(0);
        QTest::addRow("one") << qsizetype(1);
        QTest::addRow("a full chunk") << InstallLog::chunkSize;
        QTest::addRow("one past") << InstallLog::chunkSize + 1;
        QTest::addRow("several chunks") << 3 * InstallLog::chunkSize + 17;
    }

    void linesStayInOrderAcrossChunks()
    {
        QFETCH(qsizetype, count);
        const InstallLog log = logOf(count);
        QCOMPARE(log.size(), count);
        QCOMPARE(log.isEmpty(), count == 0);
        qsizetype i = 0;
        for (const LogLine &line : log) {
            QCOMPARE(line.text, QString::number(i));
            QCOMPARE(line.isError, i % 7 == 0);
            QCOMPARE(&log.at(i), &line);
            ++i;
        }
        QCOMPARE(i, count);
        QCOMPARE(log.texts().size(), count);
        QVERIFY(log == log.toList());
        if (count > 0)
            QCOMPARE(log.last().text, QString::number(count - 1));
    }

    // A reference to a line stays valid while the log grows (the log view
    // and the runner's logLineAdded rely on it).
    void referencesSurviveAppends()
    {
        InstallLog log;
        log.append(LogLine::make(QStringLiteral("first"), false));
        const LogLine *first = &log.at(0);
        for (int i = 0; i < 3 * InstallLog::chunkSize; ++i)
            log.append(LogLine::make(QStringLiteral("more"), false));
        QCOMPARE(first, &log.at(0));
        QCOMPARE(first->text, QStringLiteral("first"));
    }

    void aSnapshotDoesNotSeeLaterLines()
    {
        InstallLog log = logOf(InstallLog::chunkSize + 5);
        const InstallLog snapshot = log;
        log.append(LogLine::make(QStringLiteral("later"), false));
        QCOMPARE(snapshot.size(), InstallLog::chunkSize + 5);
        QCOMPARE(log.size(), InstallLog::chunkSize + 6);
        QCOMPARE(snapshot.last().text, QString::number(InstallLog::chunkSize + 4));
        // Clearing the log leaves the snapshot whole.
        log.clear();
        QVERIFY(log.isEmpty());
        QCOMPARE(snapshot.size(), InstallLog::chunkSize + 5);
        QCOMPARE(snapshot.at(3).text, QStringLiteral("3"));
    }

    void equalityComparesEveryField()
    {
        const InstallLog log = logOf(3);
        InstallLog same = log;
        QVERIFY(same == log);
        QList<LogLine> lines = log.toList();
        lines[1].isError = !lines[1].isError;
        QVERIFY(!(log == lines));
    }

    void identifiersAreFreshVersionFourUuids()
    {
        QSet<QUuid> seen;
        for (int i = 0; i < 10000; ++i) {
            const LogLine line = LogLine::make(QStringLiteral("x"), false);
            QCOMPARE(line.id.version(), QUuid::Random);
            QCOMPARE(line.id.variant(), QUuid::DCE);
            seen.insert(line.id);
        }
        QCOMPARE(seen.size(), 10000);
    }
};

REVEZE_TEST_MAIN(TestInstallLog)
#include "tst_installlog.moc"
