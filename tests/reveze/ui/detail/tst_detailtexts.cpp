// What the package detail writes, without a window: the uninstall command (and
// that a shell runs nothing but zelk when it is pasted), the Reason sentence
// against the current user, sizes and install times in a locale, and which
// grid rows show for which records, homepage links included.

#include "Localizer.h"
#include "detail/DetailFormats.h"
#include "detail/DetailRows.h"
#include "detail/InstallReasonText.h"
#include "detail/UninstallCommand.h"

#include "GuiTestSupport.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <memory>

using namespace ReveZE;
using GuiTestSupport::detail;
using ZelkKit::InstalledDetail;
using ZelkKit::PackageInfo;

namespace {

struct Texts {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    std::unique_ptr<Localizer> l;

    explicit Texts(AppLanguage language = AppLanguage::English)
        : l(std::make_unique<Localizer>(language, Localizer::Environment{&settings, QStringList{QStringLiteral("en")}}))
    {
    }
};

// Everything the grid can show.
InstalledDetail fullDetail()
{
    InstalledDetail package = detail(QStringLiteral("jq"), QStringLiteral("1.7.1"));
    package.installedAt = QStringLiteral("2024-03-09T08:15:00Z");
    package.arch = QStringLiteral("arm64");
    package.commands = {QStringLiteral("jq"), QStringLiteral("jq-debug")};
    package.source = QStringLiteral("packages");
    package.sizeBytes = 1500000;
    package.installedByUser = QStringLiteral("admin");
    return package;
}

PackageInfo fullInfo()
{
    PackageInfo info;
    info.name = QStringLiteral("jq");
    info.available = {QStringLiteral("1.8.0"), QStringLiteral("1.7.1")};
    info.license = QStringLiteral("MIT");
    info.homepage = QStringLiteral("https://jqlang.example.org/");
    return info;
}

QList<DetailRow> rowsOf(const QList<DetailRowContent> &contents)
{
    QList<DetailRow> rows;
    for (const DetailRowContent &content : contents)
        rows.append(content.row);
    return rows;
}

std::optional<DetailRowContent> rowOf(const QList<DetailRowContent> &contents, DetailRow row)
{
    for (const DetailRowContent &content : contents) {
        if (content.row == row)
            return content;
    }
    return std::nullopt;
}

} // namespace

class TestDetailTexts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Install times are shown in local time; pin the zone.
        qputenv("TZ", "UTC");
        tzset();
    }

    void uninstallCommand_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("command");
        QTest::addRow("a plain name") << u"jq"_qs << u"zelk uninstall jq"_qs;
        QTest::addRow("every character a name may hold") << u"Lib.z_2+x-y@1.3"_qs << u"zelk uninstall Lib.z_2+x-y@1.3"_qs;
        QTest::addRow("a semicolon") << u"jq; rm -rf ~"_qs << u"zelk uninstall 'jq; rm -rf ~'"_qs;
        QTest::addRow("a command substitution") << u"$(touch pwned)"_qs << u"zelk uninstall '$(touch pwned)'"_qs;
        QTest::addRow("a single quote") << u"it's"_qs << u"zelk uninstall 'it'\\''s'"_qs;
        QTest::addRow("a line break") << u"jq\nrm x"_qs << u"zelk uninstall 'jq\nrm x'"_qs;
        QTest::addRow("a space") << u"my tool"_qs << u"zelk uninstall 'my tool'"_qs;
        QTest::addRow("a backquote and a double quote") << u"a`b\"c"_qs << u"zelk uninstall 'a`b\"c'"_qs;
        QTest::addRow("a letter outside ASCII") << u"café"_qs << u"zelk uninstall 'café'"_qs;
        QTest::addRow("no name") << QString() << u"zelk uninstall ''"_qs;
    }

    void uninstallCommand()
    {
        QFETCH(QString, name);
        QFETCH(QString, command);
        QCOMPARE(UninstallCommand::forPackage(name), command);
    }

    // Pasted into a POSIX shell, the command runs zelk with the name as its
    // one argument, and nothing else.
    void pastedCommandRunsOnlyZelk_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addRow("plain") << u"libz@1.3"_qs;
        QTest::addRow("semicolon and substitution") << u"x; touch pwned; $(touch pwned2)"_qs;
        QTest::addRow("quotes") << u"it's \"quoted\" 'twice'"_qs;
        QTest::addRow("line break") << u"a\ntouch pwned"_qs;
        QTest::addRow("only a quote") << u"'"_qs;
    }

    void pastedCommandRunsOnlyZelk()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QProcess shell;
        shell.setWorkingDirectory(dir.path());
        // zelk here prints how many arguments it got and each on its own line.
        const QString script = QStringLiteral("zelk() { printf '%s\\n' \"$#\"; printf '[%s]' \"$@\"; }\n")
                               + UninstallCommand::forPackage(name) + QLatin1Char('\n');
        shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
        QVERIFY(shell.waitForFinished(10000));
        QCOMPARE(shell.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(shell.readAllStandardOutput()),
                 QStringLiteral("2\n[uninstall][") + name + QLatin1Char(']'));
        QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void reason_data()
    {
        QTest::addColumn<bool>("requested");
        QTest::addColumn<std::optional<QString>>("user");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        const std::optional<QString> me = u"alice"_qs;
        QTest::addRow("requested by the current user") << true << me << u"Installed by user alice (you)"_qs
                                                        << u"用户alice(你)安装"_qs;
        QTest::addRow("requested by another user") << true << std::optional(u"bob"_qs) << u"Installed by user bob"_qs
                                                    << u"用户bob安装"_qs;
        QTest::addRow("the comparison is case-sensitive")
            << true << std::optional(u"Alice"_qs) << u"Installed by user Alice"_qs << u"用户Alice安装"_qs;
        QTest::addRow("no user recorded") << true << std::optional<QString>() << u"Installed by an unknown user"_qs
                                           << u"用户未知安装"_qs;
        QTest::addRow("an empty user") << true << std::optional(QString()) << u"Installed by an unknown user"_qs
                                        << u"用户未知安装"_qs;
        QTest::addRow("a dependency, whoever installed it")
            << false << me << u"Brought in as a dependency"_qs << u"作为依赖被带入"_qs;
    }

    void reason()
    {
        QFETCH(bool, requested);
        QFETCH(std::optional<QString>, user);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        InstalledDetail package = detail(QStringLiteral("jq"), QStringLiteral("1.7.1"));
        package.requested = requested;
        package.installedByUser = user;
        // installed_by says nothing about the user.
        package.installedBy = QStringLiteral("alice");
        Texts en;
        QCOMPARE(InstallReasonText::describe(package, QStringLiteral("alice"), *en.l), english);
        Texts zh(AppLanguage::ChineseSimplified);
        QCOMPARE(InstallReasonText::describe(package, QStringLiteral("alice"), *zh.l), chinese);
    }

    void currentUserIsTheLoginName()
    {
        const QString user = InstallReasonText::currentUser();
        QVERIFY(!user.isEmpty());
        QProcess id;
        id.start(QStringLiteral("id"), {QStringLiteral("-un")});
        QVERIFY(id.waitForFinished(10000));
        QCOMPARE(user, QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed());
    }

    void byteCount_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QTest::addRow("nothing") << qint64(0) << us << u"0 bytes"_qs;
        QTest::addRow("one byte") << qint64(1) << us << u"1 byte"_qs;
        QTest::addRow("999 bytes") << qint64(999) << us << u"999 bytes"_qs;
        QTest::addRow("1000 bytes are 1 KB") << qint64(1000) << us << u"1 KB"_qs;
        QTest::addRow("kilobytes are whole") << qint64(1500) << us << u"2 KB"_qs;
        QTest::addRow("just under a megabyte") << qint64(999499) << us << u"999 KB"_qs;
        QTest::addRow("rounds up into the next unit") << qint64(999500) << us << u"1 MB"_qs;
        QTest::addRow("megabytes with one decimal") << qint64(1500000) << us << u"1.5 MB"_qs;
        QTest::addRow("trailing zero dropped") << qint64(2000000) << us << u"2 MB"_qs;
        QTest::addRow("gigabytes with two decimals") << qint64(1234567890) << us << u"1.23 GB"_qs;
        QTest::addRow("German decimal comma") << qint64(1500000) << QLocale(QLocale::German, QLocale::Germany)
                                              << u"1,5 MB"_qs;
        QTest::addRow("Chinese bytes") << qint64(999) << QLocale(QLocale::Chinese, QLocale::China) << u"999 字节"_qs;
    }

    void byteCount()
    {
        QFETCH(qint64, bytes);
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QCOMPARE(DetailFormats::byteCount(bytes, locale), text);
    }

    void installDate_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::addRow("US English") << QLocale(QLocale::English, QLocale::UnitedStates) << u"Mar 9, 2024, 8:15 AM"_qs;
        QTest::addRow("British English") << QLocale(QLocale::English, QLocale::UnitedKingdom)
                                         << u"9 Mar 2024, 08:15"_qs;
        QTest::addRow("Chinese") << QLocale(QLocale::Chinese, QLocale::China) << u"2024年3月9日 08:15"_qs;
        // The C locale would print seconds; it reads as US English.
        QTest::addRow("C") << QLocale::c() << u"Mar 9, 2024, 8:15 AM"_qs;
    }

    void installDate()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        const QDateTime time(QDate(2024, 3, 9), QTime(8, 15, 42), Qt::UTC);
        QCOMPARE(DetailFormats::installDate(time, locale), text);
    }

    void rowsOfAnInstalledPackage()
    {
        Texts t;
        const InstalledDetail package = fullDetail();
        const QList<DetailRowContent> rows =
            DetailRows::rows(&package, fullInfo(), *t.l, QStringLiteral("admin"), QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(rowsOf(rows), DetailRows::all());
        QCOMPARE(rowOf(rows, DetailRow::Installed)->value, u"jq 1.7.1"_qs);
        // The first available version, not the last.
        QCOMPARE(rowOf(rows, DetailRow::Latest)->value, u"1.8.0"_qs);
        QCOMPARE(rowOf(rows, DetailRow::InstalledOn)->value, u"Mar 9, 2024, 8:15 AM"_qs);
        QCOMPARE(rowOf(rows, DetailRow::Reason)->value, u"Installed by user admin (you)"_qs);
        QCOMPARE(rowOf(rows, DetailRow::Size)->value, u"1.5 MB"_qs);
        QCOMPARE(rowOf(rows, DetailRow::Commands)->value, u"jq, jq-debug"_qs);
        QCOMPARE(rowOf(rows, DetailRow::Homepage)->link, std::optional(QUrl(u"https://jqlang.example.org/"_qs)));
    }

    void rowsLeftOut_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<DetailRow>("absent");
        QTest::addRow("no commands") << 0 << DetailRow::Commands;
        QTest::addRow("an empty source") << 1 << DetailRow::Source;
        QTest::addRow("no architecture") << 2 << DetailRow::Arch;
        QTest::addRow("an empty license") << 3 << DetailRow::License;
        QTest::addRow("no license") << 4 << DetailRow::License;
        QTest::addRow("a homepage that does not parse") << 5 << DetailRow::Homepage;
        QTest::addRow("a homepage without a scheme") << 6 << DetailRow::Homepage;
        QTest::addRow("an install time with fractional seconds") << 7 << DetailRow::InstalledOn;
        QTest::addRow("no install time") << 8 << DetailRow::InstalledOn;
    }

    void rowsLeftOut()
    {
        QFETCH(int, change);
        QFETCH(DetailRow, absent);
        InstalledDetail package = fullDetail();
        PackageInfo info = fullInfo();
        switch (change) {
        case 0: package.commands.clear(); break;
        case 1: package.source.clear(); break;
        case 2: package.arch.reset(); break;
        case 3: info.license = QString(); break;
        case 4: info.license.reset(); break;
        case 5: info.homepage = QStringLiteral("http://exa mple.org/%zz"); break;
        case 6: info.homepage = QStringLiteral("jqlang.example.org"); break;
        case 7: package.installedAt = QStringLiteral("2024-03-09T08:15:00.250Z"); break;
        case 8: package.installedAt.reset(); break;
        }
        Texts t;
        const QList<DetailRowContent> rows = DetailRows::rows(&package, info, *t.l, QString(), QLocale::c());
        QList<DetailRow> expected = DetailRows::all();
        expected.removeOne(absent);
        QCOMPARE(rowsOf(rows), expected);
    }

    void rowsOfAPackageThatIsNotInstalled()
    {
        Texts t;
        QCOMPARE(rowsOf(DetailRows::rows(nullptr, fullInfo(), *t.l, QString(), QLocale::c())),
                 (QList<DetailRow>{DetailRow::Latest, DetailRow::License, DetailRow::Homepage}));
        // Before the information arrives, or when it failed: Latest "—" only.
        const QList<DetailRowContent> loading = DetailRows::rows(nullptr, std::nullopt, *t.l, QString(), QLocale::c());
        QCOMPARE(loading, (QList<DetailRowContent>{{DetailRow::Latest, u"—"_qs, std::nullopt}}));
        PackageInfo none = fullInfo();
        none.available.clear();
        QCOMPARE(rowOf(DetailRows::rows(nullptr, none, *t.l, QString(), QLocale::c()), DetailRow::Latest)->value,
                 u"—"_qs);
    }

    // The row shows whenever the text parses as an address; it is a link
    // only for http and https.
    void homepageLinks_data()
    {
        QTest::addColumn<QString>("homepage");
        QTest::addColumn<bool>("link");
        QTest::addRow("https") << u"https://jqlang.example.org/"_qs << true;
        QTest::addRow("http") << u"http://jqlang.example.org/"_qs << true;
        QTest::addRow("upper-case HTTPS") << u"HTTPS://JQLANG.EXAMPLE.ORG/"_qs << true;
        QTest::addRow("mixed-case Http") << u"Http://jqlang.example.org/"_qs << true;
        QTest::addRow("file") << u"file:///etc"_qs << false;
        QTest::addRow("javascript") << u"javascript:alert(1)"_qs << false;
        QTest::addRow("a custom handler") << u"zelkapp://run?cmd=rm"_qs << false;
        QTest::addRow("mailto") << u"mailto:dev@example.org"_qs << false;
    }

    void homepageLinks()
    {
        QFETCH(QString, homepage);
        QFETCH(bool, link);
        PackageInfo info = fullInfo();
        info.homepage = homepage;
        Texts t;
        const std::optional<DetailRowContent> row =
            rowOf(DetailRows::rows(nullptr, info, *t.l, QString(), QLocale::c()), DetailRow::Homepage);
        QVERIFY(row);
        QCOMPARE(row->value, homepage);
        QCOMPARE(row->link.has_value(), link);
        if (link)
            QCOMPARE(row->link->toString().toLower(), homepage.toLower());
    }
};

REVEZE_GUI_TEST_MAIN(TestDetailTexts)
#include "tst_detailtexts.moc"
