// ErrorAdvice: the advice line and the retry offer chosen from zelk's error
// code; OperationReport: the text that "Copy error" puts on the clipboard.

#include "AppLanguage.h"
#include "ErrorAdvice.h"
#include "Localizer.h"
#include "OperationReport.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using namespace ReveZE;

namespace {

std::optional<QString> code(const QString &text, bool present)
{
    return present ? std::optional<QString>(text) : std::nullopt;
}

} // namespace

class TestErrorAdvice : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QSettings> m_settings;

    std::unique_ptr<Localizer> localizer(AppLanguage language) const
    {
        return std::make_unique<Localizer>(language, Localizer::Environment{m_settings.get(), {}});
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_settings = std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("settings.ini")),
                                                 QSettings::IniFormat);
    }

    void cleanup()
    {
        m_settings.reset();
        m_dir.reset();
    }

    void sentence_data()
    {
        QTest::addColumn<bool>("hasCode");
        QTest::addColumn<QString>("code");
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<bool>("hasSentence");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("retryable");

        const auto en = AppLanguage::English;
        const auto zh = AppLanguage::ChineseSimplified;
        const QString failed = QStringLiteral("The operation failed.");

        QTest::addRow("no code") << false << QString() << en << false << QString() << false;
        QTest::addRow("E_DISK, Chinese") << true << QStringLiteral("E_DISK") << zh << true
                                         << QStringLiteral("磁盘空间不足。") << false;
        QTest::addRow("unknown code, Chinese") << true << QStringLiteral("E_WHATEVER") << zh << true
                                               << QStringLiteral("操作失败。") << false;
        // Each known code has its own advice and retry decision.
        QTest::addRow("E_NETWORK") << true << QStringLiteral("E_NETWORK") << en << true
                                   << QStringLiteral("Network problem. Check the connection or proxy, then retry.") << true;
        QTest::addRow("E_TLS") << true << QStringLiteral("E_TLS") << en << true
                               << QStringLiteral("Certificate problem. Check the mirror address or ask the administrator.") << false;
        QTest::addRow("E_HTTP") << true << QStringLiteral("E_HTTP") << en << true
                                << QStringLiteral("The server answered with an error. Retry later.") << true;
        QTest::addRow("E_NOT_FOUND") << true << QStringLiteral("E_NOT_FOUND") << en << true
                                     << QStringLiteral("The package name was not found in the index.") << false;
        QTest::addRow("E_DATA") << true << QStringLiteral("E_DATA") << en << true
                                << QStringLiteral("The index record is defective. Report it to the administrator.") << false;
        QTest::addRow("E_PERMISSION") << true << QStringLiteral("E_PERMISSION") << en << true
                                      << QStringLiteral("Permission denied: this install tree is not writable.") << false;
        QTest::addRow("E_DISK") << true << QStringLiteral("E_DISK") << en << true << QStringLiteral("Not enough disk space.") << false;
        QTest::addRow("E_LOCKED") << true << QStringLiteral("E_LOCKED") << en << true
                                  << QStringLiteral("Another zelk is running. Wait for it to finish.") << true;
        QTest::addRow("E_DECLINED") << true << QStringLiteral("E_DECLINED") << en << true
                                    << QStringLiteral("A confirmation was declined.") << false;
        QTest::addRow("E_USAGE") << true << QStringLiteral("E_USAGE") << en << true
                                 << QStringLiteral("The command line was invalid.") << false;
        // Codes match exactly: whole text, case-sensitive, untrimmed.
        QTest::addRow("small letters") << true << QStringLiteral("e_disk") << en << true << failed << false;
        QTest::addRow("leading blank") << true << QStringLiteral(" E_DISK") << en << true << failed << false;
        QTest::addRow("trailing line feed") << true << QStringLiteral("E_NETWORK\n") << en << true << failed << false;
        QTest::addRow("prefix of a code") << true << QStringLiteral("E_NET") << en << true << failed << false;
        QTest::addRow("small-letter retryable code") << true << QStringLiteral("e_locked") << en << true << failed << false;
        QTest::addRow("empty code") << true << QString() << en << true << failed << false;
    }

    void sentence()
    {
        QFETCH(bool, hasCode);
        QFETCH(QString, code);
        QFETCH(AppLanguage, language);
        QFETCH(bool, hasSentence);
        QFETCH(QString, expected);
        QFETCH(bool, retryable);

        const auto l = localizer(language);
        const auto errorCode = ::code(code, hasCode);
        const std::optional<QString> advice = ErrorAdvice::sentence(errorCode, *l);
        QCOMPARE(advice.has_value(), hasSentence);
        if (hasSentence)
            QCOMPARE(*advice, expected);
        QCOMPARE(ErrorAdvice::isRetryable(errorCode), retryable);
    }

    void sentenceFollowsTheLanguageInUse()
    {
        const auto l = localizer(AppLanguage::English);
        const std::optional<QString> disk = QStringLiteral("E_DISK");
        QCOMPARE(ErrorAdvice::sentence(disk, *l), std::optional<QString>(QStringLiteral("Not enough disk space.")));
        l->setLanguage(AppLanguage::ChineseSimplified);
        QCOMPARE(ErrorAdvice::sentence(disk, *l), std::optional<QString>(QStringLiteral("磁盘空间不足。")));
    }

    void reportText_data()
    {
        QTest::addColumn<OperationReport>("report");
        QTest::addColumn<QString>("expected");

        const QStringList diskFullLog{
            QStringLiteral("zelk install jq --yes"),
            QStringLiteral("plan: download → install"),
            QStringLiteral("download [start]"),
            QStringLiteral("error: disk full"),
        };
        const QString versions = QStringLiteral("ReveZE 1.0\nQuindle 0.9 (protocol 1)\n");

        QTest::addRow("failure already in the log")
            << OperationReport{QStringLiteral("1.0"), QStringLiteral("0.9"), 1, QStringLiteral("E_DISK"), diskFullLog,
                               QStringLiteral("disk full")}
            << QStringLiteral("ReveZE 1.0\nQuindle 0.9 (protocol 1)\nerror code: E_DISK\n\n"
                              "zelk install jq --yes\nplan: download → install\ndownload [start]\nerror: disk full");
        QTest::addRow("no version record, no error code")
            << OperationReport{QStringLiteral("1.0"), std::nullopt, std::nullopt, std::nullopt,
                               {QStringLiteral("zelk install jq")}, std::nullopt}
            << QStringLiteral("ReveZE 1.0\nQuindle ? (protocol ?)\n\nzelk install jq");
        QTest::addRow("protocol 0 is a number")
            << OperationReport{QStringLiteral("1.0"), QStringLiteral("0.1"), 0, std::nullopt, {}, std::nullopt}
            << QStringLiteral("ReveZE 1.0\nQuindle 0.1 (protocol 0)\n");
        QTest::addRow("failure missing from the log ends the report")
            << OperationReport{QStringLiteral("1.0"), QStringLiteral("0.9"), 1, std::nullopt,
                               {QStringLiteral("zelk upgrade"), QStringLiteral("download [start]")}, QStringLiteral("Cancelled.")}
            << versions + QStringLiteral("\nzelk upgrade\ndownload [start]\nfailure: Cancelled.");
        QTest::addRow("substring search is case-sensitive")
            << OperationReport{QStringLiteral("1.0"), QStringLiteral("0.9"), 1, std::nullopt,
                               {QStringLiteral("error: disk full")}, QStringLiteral("Disk full")}
            << versions + QStringLiteral("\nerror: disk full\nfailure: Disk full");
        QTest::addRow("failure inside a multi-line entry")
            << OperationReport{QStringLiteral("1.0"), QStringLiteral("0.9"), 1, std::nullopt,
                               {QStringLiteral("zelk install jq"), QStringLiteral("stderr:\nlock held\nbye")},
                               QStringLiteral("lock held")}
            << versions + QStringLiteral("\nzelk install jq\nstderr:\nlock held\nbye");
        QTest::addRow("empty log with failure")
            << OperationReport{QStringLiteral("1.0"), QStringLiteral("0.9"), 1, QStringLiteral("E_USAGE"), {},
                               QStringLiteral("zelk exited with status 2")}
            << QStringLiteral("ReveZE 1.0\nQuindle 0.9 (protocol 1)\nerror code: E_USAGE\n\nfailure: zelk exited with status 2");
        QTest::addRow("neither log nor failure ends with the empty line")
            << OperationReport{QStringLiteral("1.0"), QStringLiteral("0.9"), 1, std::nullopt, {}, std::nullopt} << versions;
        QTest::addRow("empty failure still gets its line")
            << OperationReport{QStringLiteral("1.0"), QStringLiteral("0.9"), 1, std::nullopt,
                               {QStringLiteral("zelk install jq")}, QString()}
            << versions + QStringLiteral("\nzelk install jq\nfailure: ");
        QTest::addRow("empty failure with an empty log entry")
            << OperationReport{QStringLiteral("1.0"), QStringLiteral("0.9"), 1, std::nullopt, {QString()}, QString()}
            << versions + QStringLiteral("\n\nfailure: ");
    }

    void reportText()
    {
        QFETCH(OperationReport, report);
        QFETCH(QString, expected);
        QCOMPARE(report.text(), expected);
    }

    void applicationVersion()
    {
        const QString before = QCoreApplication::applicationVersion();
        QCoreApplication::setApplicationVersion(QString());
        const OperationReport report{OperationReport::applicationVersion(), std::nullopt, std::nullopt,
                                     std::nullopt, {}, std::nullopt};
        QCOMPARE(report.text().section(u'\n', 0, 0), QStringLiteral("ReveZE ?"));

        QCoreApplication::setApplicationVersion(QStringLiteral("2.3.1"));
        QCOMPARE(OperationReport::applicationVersion(), QStringLiteral("2.3.1"));
        QCoreApplication::setApplicationVersion(before);
    }
};

REVEZE_TEST_MAIN(TestErrorAdvice)
#include "tst_erroradvice.moc"
