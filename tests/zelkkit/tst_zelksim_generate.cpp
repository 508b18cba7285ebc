// `zelk-sim generate` with a hub: the package the detail benchmarks measure
// at its largest. What the strict decoders read from the written state: the
// hub's dependencies and dependents, no cycle through it, the same files for
// the same options, and the options it refuses.

#include "TestSupport.h"

#include "ZelkCLI.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace ZelkKit;
using TestSupport::await;

namespace {

int generate(const QStringList &options, QByteArray *output = nullptr)
{
    QProcess sim;
    sim.start(QStringLiteral(ZELK_SIM_PATH), QStringList{QStringLiteral("generate")} + options);
    if (!sim.waitForFinished(60000))
        return -1;
    if (output)
        *output = sim.readAllStandardOutput() + sim.readAllStandardError();
    return sim.exitCode();
}

QByteArray digest(const QString &dir)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QStringList files = QDir(dir).entryList(QDir::Files, QDir::Name);
    for (const QString &name : files) {
        QFile file(dir + QLatin1Char('/') + name);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        hash.addData(name.toUtf8());
        hash.addData(file.readAll());
    }
    return hash.result().toHex();
}

QStringList hubOptions(const QString &out)
{
    return {QStringLiteral("--catalog"), QStringLiteral("300"), QStringLiteral("--installed"), QStringLiteral("120"),
            QStringLiteral("--hub-dependents"), QStringLiteral("70"), QStringLiteral("--hub-dependencies"),
            QStringLiteral("30"), QStringLiteral("--out"), out};
}

} // namespace

class TestZelkSimGenerate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hubHasItsDependentsAndDependencies()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("state"));
        QByteArray output;
        QCOMPARE(generate(hubOptions(state), &output), 0);
        QVERIFY2(output.contains("hub libhub: 70 dependents, 30 dependencies"), output.constData());
        qputenv("ZELK_SIM_STATE", QFile::encodeName(state));
        const ZelkCLI cli(QStringLiteral(ZELK_SIM_PATH));

        const Result<InstallStatus> status = await(cli.status());
        QVERIFY2(status, status ? "" : qPrintable(status.error().errorDescription()));
        QCOMPARE(status->packages.size(), 121);
        const InstalledDetail *hub = status->package(QStringLiteral("libhub"));
        QVERIFY(hub);
        QCOMPARE(hub->kind, InstalledDetail::Kind::Dependency);
        QCOMPARE(hub->deps.size(), 30);
        const QStringList dependents = status->dependents(QStringLiteral("libhub"));
        QCOMPARE(dependents.size(), 70);
        // What the hub needs is installed, and none of it needs the hub.
        const QSet<QString> needing(dependents.begin(), dependents.end());
        for (const QString &entry : hub->deps) {
            const QString name = entry.section(QLatin1Char('@'), 0, 0);
            QVERIFY2(status->package(name), qPrintable(entry));
            QVERIFY2(!needing.contains(name), qPrintable(entry));
        }

        // The index knows the hub and its dependencies too.
        const Result<PackageInfo> info = await(cli.info(QStringLiteral("libhub")));
        QVERIFY(info);
        QCOMPARE(info->installed, QStringList{u"2.4.1"_qs});
        QVERIFY(info->deps);
        QCOMPARE(info->deps->size(), 30);
        qunsetenv("ZELK_SIM_STATE");
    }

    void sameOptionsWriteTheSameFiles()
    {
        QTemporaryDir dir;
        QCOMPARE(generate(hubOptions(dir.filePath(QStringLiteral("a")))), 0);
        QCOMPARE(generate(hubOptions(dir.filePath(QStringLiteral("b")))), 0);
        const QByteArray a = digest(dir.filePath(QStringLiteral("a")));
        QVERIFY(!a.isEmpty());
        QCOMPARE(digest(dir.filePath(QStringLiteral("b"))), a);
    }

    void refusedOptions_data()
    {
        QTest::addColumn<QStringList>("hub");
        QTest::addRow("more than are installed") << QStringList{u"--hub-dependents"_qs, u"100"_qs,
                                                                u"--hub-dependencies"_qs, u"21"_qs};
        QTest::addRow("negative") << QStringList{u"--hub-dependents"_qs, u"-1"_qs};
        QTest::addRow("not a number") << QStringList{u"--hub-dependencies"_qs, u"many"_qs};
    }

    void refusedOptions()
    {
        QFETCH(QStringList, hub);
        QTemporaryDir dir;
        const QStringList options = QStringList{u"--catalog"_qs, u"300"_qs, u"--installed"_qs, u"120"_qs, u"--out"_qs,
                                                dir.filePath(QStringLiteral("state"))}
                                    + hub;
        QCOMPARE(generate(options), 2);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("state/config.json"))));
    }
};

REVEZE_TEST_MAIN(TestZelkSimGenerate)
#include "tst_zelksim_generate.moc"
