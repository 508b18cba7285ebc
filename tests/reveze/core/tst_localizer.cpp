// Localizer: the choice of language at start, its persistence, the two text
// tables and the locale-free filling of formats.

#include "AppLanguage.h"
#include "L.h"
#include "Localizer.h"

#include "TestSupport.h"

#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>

using namespace ReveZE;

namespace {

// Placeholders of a format text, in order, "%%" included.
QStringList placeholders(const QString &format)
{
    static const QRegularExpression pattern(QStringLiteral("%(?:[0-9]+\\$)?[d@]|%%"));
    QStringList found;
    for (auto it = pattern.globalMatch(format); it.hasNext();)
        found.append(it.next().captured());
    return found;
}

} // namespace

class TestLocalizer : public QObject
{
    Q_OBJECT

private:
    // A settings file of this test alone, fresh for each test function.
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QSettings> m_settings;

    Localizer::Environment environment(const QStringList &preferred = {QStringLiteral("en-US")}) const
    {
        return {m_settings.get(), preferred};
    }
    QVariant stored() const { return m_settings->value(QStringLiteral("ReveZE.language")); }

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

    void rawValues_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("parsed"); // raw value of the result, empty for none

        QTest::addRow("en") << QStringLiteral("en") << QStringLiteral("en");
        QTest::addRow("zh-Hans") << QStringLiteral("zh-Hans") << QStringLiteral("zh-Hans");
        QTest::addRow("upper case EN") << QStringLiteral("EN") << QString();
        QTest::addRow("lower case zh-hans") << QStringLiteral("zh-hans") << QString();
        QTest::addRow("leading blank") << QStringLiteral(" en") << QString();
        QTest::addRow("trailing line feed") << QStringLiteral("zh-Hans\n") << QString();
        QTest::addRow("bare zh") << QStringLiteral("zh") << QString();
        QTest::addRow("empty") << QString() << QString();
    }

    void rawValues()
    {
        QFETCH(QString, raw);
        QFETCH(QString, parsed);
        const auto language = appLanguageFromRawValue(raw);
        QCOMPARE(language ? rawValue(*language) : QString(), parsed);
    }

    void nativeNames()
    {
        QCOMPARE(allLanguages(), (QList<AppLanguage>{AppLanguage::English, AppLanguage::ChineseSimplified}));
        QCOMPARE(nativeName(AppLanguage::English), QStringLiteral("English"));
        QCOMPARE(nativeName(AppLanguage::ChineseSimplified), QStringLiteral("简体中文"));
    }

    void initialLanguage_data()
    {
        QTest::addColumn<QVariant>("storedBefore"); // invalid: nothing stored
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<QString>("passed");        // raw value, empty: none passed
        QTest::addColumn<QString>("expected");      // raw value of the language in use and in the store

        const QVariant nothing;
        const QString none;
        const QString en = QStringLiteral("en");
        const QString zh = QStringLiteral("zh-Hans");
        const QStringList english{QStringLiteral("en-US")};
        const QStringList chinese{QStringLiteral("zh-Hans-CN")};

        QTest::addRow("first launch, zh-Hant-TW") << nothing << QStringList{QStringLiteral("zh-Hant-TW")} << none << zh;
        QTest::addRow("first launch, bare zh") << nothing << QStringList{QStringLiteral("zh")} << none << zh;
        QTest::addRow("first launch, fr-FR then zh-Hans-CN")
            << nothing << QStringList{QStringLiteral("fr-FR"), QStringLiteral("zh-Hans-CN")} << none << en;
        QTest::addRow("first launch, upper-case ZH-CN") << nothing << QStringList{QStringLiteral("ZH-CN")} << none << en;
        QTest::addRow("first launch, empty list") << nothing << QStringList{} << none << en;
        QTest::addRow("stored zh-Hans, English system") << QVariant(zh) << english << none << zh;
        QTest::addRow("stored en, Chinese system") << QVariant(en) << chinese << none << en;
        QTest::addRow("stored EN, Chinese system") << QVariant(QStringLiteral("EN")) << chinese << none << zh;
        QTest::addRow("stored EN, English system") << QVariant(QStringLiteral("EN")) << english << none << en;
        QTest::addRow("stored de, Chinese system") << QVariant(QStringLiteral("de")) << chinese << none << zh;
        QTest::addRow("stored de, English system") << QVariant(QStringLiteral("de")) << english << none << en;
        QTest::addRow("stored with blank, English system") << QVariant(QStringLiteral(" zh-Hans")) << english << none << en;
        QTest::addRow("English passed, zh-Hans stored") << QVariant(zh) << chinese << en << en;
        QTest::addRow("Chinese passed, en stored") << QVariant(en) << english << zh << zh;
        QTest::addRow("Chinese passed, nothing stored") << nothing << english << zh << zh;
    }

    void initialLanguage()
    {
        QFETCH(QVariant, storedBefore);
        QFETCH(QStringList, preferred);
        QFETCH(QString, passed);
        QFETCH(QString, expected);

        if (storedBefore.isValid())
            m_settings->setValue(QStringLiteral("ReveZE.language"), storedBefore);
        const Localizer l(appLanguageFromRawValue(passed), environment(preferred));

        QCOMPARE(rawValue(l.language()), expected);
        QCOMPARE(stored(), QVariant(expected));
        // The choice is on disk, not only in the QSettings object's cache.
        QSettings reread(m_settings->fileName(), QSettings::IniFormat);
        QCOMPARE(reread.value(QStringLiteral("ReveZE.language")), QVariant(expected));
    }

    void perUserStoreIsTheDefault()
    {
        // TestSupport's main turned on QStandardPaths' test mode, so this is a
        // throwaway copy of the per-user store.
        QSettings store(QStringLiteral("ReveZE"), QStringLiteral("ReveZE"));
        store.setValue(QStringLiteral("ReveZE.language"), QStringLiteral("zh-Hans"));
        store.sync();
        {
            const Localizer l;
            QCOMPARE(l.language(), AppLanguage::ChineseSimplified);
        }
        {
            const Localizer l(AppLanguage::English);
        }
        store.sync();
        QCOMPARE(store.value(QStringLiteral("ReveZE.language")), QVariant(QStringLiteral("en")));
        // Leave no choice behind for other suites that share the test store.
        store.remove(QStringLiteral("ReveZE.language"));
        store.sync();
    }

    void assigningTheSameLanguageRewritesSilently()
    {
        Localizer l(AppLanguage::English, environment());
        QSignalSpy spy(&l, &Localizer::languageChanged);
        m_settings->setValue(QStringLiteral("ReveZE.language"), QStringLiteral("de"));

        l.setLanguage(AppLanguage::English);

        QCOMPARE(spy.count(), 0);
        QCOMPARE(stored(), QVariant(QStringLiteral("en")));
    }

    void assigningAnotherLanguageStoresThenAnnounces()
    {
        Localizer l(AppLanguage::English, environment());
        QSignalSpy spy(&l, &Localizer::languageChanged);
        QVariant storedWhenAnnounced;
        QString textWhenAnnounced;
        connect(&l, &Localizer::languageChanged, this, [&] {
            storedWhenAnnounced = stored();
            textWhenAnnounced = l(L::sectionInstalled);
        });

        l.setLanguage(AppLanguage::ChineseSimplified);

        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<AppLanguage>(), AppLanguage::ChineseSimplified);
        QCOMPARE(storedWhenAnnounced, QVariant(QStringLiteral("zh-Hans")));
        QCOMPARE(textWhenAnnounced, QStringLiteral("已安装"));

        l.setProperty("language", QVariant::fromValue(AppLanguage::English));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(l(L::sectionInstalled), QStringLiteral("Installed"));
        QCOMPARE(stored(), QVariant(QStringLiteral("en")));
    }

    void installedCount_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<QString>("expected");
        QTest::addRow("English") << AppLanguage::English << QStringLiteral("1234 installed");
        QTest::addRow("Chinese") << AppLanguage::ChineseSimplified << QStringLiteral("已安装 1234 个");
    }

    void installedCount()
    {
        QFETCH(AppLanguage, language);
        QFETCH(QString, expected);
        const Localizer l(language, environment());
        QCOMPARE(l.format(L::installedCount, {qint64(1234)}), expected);
        QCOMPARE(l.format(L::installedCount, {1234}), expected);
    }

    void texts_data()
    {
        QTest::addColumn<L>("key");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");

        auto row = [](const char *name, L key, const char16_t *english, const char16_t *chinese) {
            QTest::addRow("%s", name) << key << QString::fromUtf16(english) << QString::fromUtf16(chinese);
        };
        row("sectionInstalled", L::sectionInstalled, u"Installed", u"已安装");
        row("sectionDiscover", L::sectionDiscover, u"Discover", u"浏览索引");
        row("sectionConfig", L::sectionConfig, u"Configuration", u"配置");
        row("installEllipsis", L::installEllipsis, u"Install…", u"安装…");
        row("readingInstalled", L::readingInstalled, u"Reading installed packages…", u"正在读取已安装的软件包…");
        row("nothingInstalledDetail", L::nothingInstalledDetail, u"Install a package with zelk install <name>.",
            u"用 zelk install <名称> 安装一个。");
        row("reasonRequestedByYou", L::reasonRequestedByYou, u"Installed by user %@ (you)", u"用户%@(你)安装");
        row("reasonRequestedUnknown", L::reasonRequestedUnknown, u"Installed by an unknown user", u"用户未知安装");
        row("packageNamePrompt", L::packageNamePrompt, u"Package name (e.g. jq, ffmpeg@6.1)",
            u"软件包名（例如 jq、ffmpeg@6.1）");
        row("packageNameInvalidChars", L::packageNameInvalidChars,
            u"Letters, digits and . _ + - @ only; separate names with a comma or a space.",
            u"只允许字母、数字和 . _ + - @，多个包用逗号或空格分隔。");
        row("shortcutCancel", L::shortcutCancel, u"Esc / ⌘.", u"Esc 或 ⌘.");
        row("shortcutConfirm", L::shortcutConfirm, u"⌘ ↩", u"⌘ ↩");
        row("compatTooNew", L::compatTooNew,
            u"The installed zelk speaks protocol %d; this ReveZE understands %d. Please update ReveZE.",
            u"本机 zelk 的协议号是 %d，本界面只认到 %d。请升级 ReveZE。");
        row("compatMissing", L::compatMissing, u"zelk %@ is missing %@. Run `zelk selfupdate`.",
            u"zelk %@ 缺少能力：%@。请先运行 `zelk selfupdate`。");
        row("versionsCount", L::versionsCount, u"Version %1$@", u"版本 %1$@");
        row("versionsList", L::versionsList, u"%d versions: %@", u"%d 个版本：%@");
        row("dangerIntro", L::dangerIntro, u"These arguments weaken a safety check:", u"下面这些参数会降低安全性或兼容性检查：");
        row("dangerForce", L::dangerForce, u"installs even when the package declares a newer macOS",
            u"即使软件包声明更高的 macOS 版本也强行安装");
        row("dependencyNotRemovable", L::dependencyNotRemovable,
            u"Dependencies are installed for the packages that need them and cannot be removed on their own. "
            u"Uninstall that package instead.",
            u"依赖是为需要它的软件包安装的，不能单独卸载。请卸载对应的软件包。");
        row("kindDependency", L::kindDependency, u"DEPENDENCY", u"依赖");
        row("copyCommand", L::copyCommand, u"Copy", u"复制");
        row("commandsLabel", L::commandsLabel, u"Commands", u"可执行文件");
        row("indexAge", L::indexAge, u"Age", u"已存在时长");
        row("errTLS", L::errTLS, u"Certificate problem. Check the mirror address or ask the administrator.",
            u"证书问题：检查镜像地址，或联系管理员换证书。");
        row("errFailed", L::errFailed, u"The operation failed.", u"操作失败。");
    }

    void texts()
    {
        QFETCH(L, key);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QCOMPARE(Localizer(AppLanguage::English, environment())(key), english);
        QCOMPARE(Localizer(AppLanguage::ChineseSimplified, environment())(key), chinese);
    }

    void punctuationCodePoints_data()
    {
        QTest::addColumn<L>("key");
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<QList<uint>>("expectedCodePoints"); // must all appear, in this order
        QTest::addColumn<QList<uint>>("forbiddenCodePoints");

        QTest::addRow("ellipsis is one character") << L::installEllipsis << AppLanguage::English
                                                   << QList<uint>{0x2026} << QList<uint>{'.'};
        QTest::addRow("command and return signs") << L::shortcutConfirm << AppLanguage::ChineseSimplified
                                                  << QList<uint>{0x2318, ' ', 0x21A9} << QList<uint>{};
        QTest::addRow("ASCII parentheses in reasonRequestedByYou") << L::reasonRequestedByYou << AppLanguage::ChineseSimplified
                                                      << QList<uint>{'(', ')'} << QList<uint>{0xFF08, 0xFF09, ' '};
        QTest::addRow("fullwidth parentheses in the name prompt") << L::packageNamePrompt << AppLanguage::ChineseSimplified
                                                                  << QList<uint>{0xFF08, 0x3001, 0xFF09} << QList<uint>{'(', ')'};
        QTest::addRow("fullwidth comma in compatTooNew") << L::compatTooNew << AppLanguage::ChineseSimplified
                                                         << QList<uint>{0xFF0C, 0x3002} << QList<uint>{','};
        QTest::addRow("fullwidth colon in errNetwork") << L::errNetwork << AppLanguage::ChineseSimplified
                                                       << QList<uint>{0xFF1A} << QList<uint>{':'};
    }

    void punctuationCodePoints()
    {
        QFETCH(L, key);
        QFETCH(AppLanguage, language);
        QFETCH(QList<uint>, expectedCodePoints);
        QFETCH(QList<uint>, forbiddenCodePoints);
        const QList<uint> text = Localizer::tableText(language, key).value_or(QString()).toUcs4();
        qsizetype from = 0;
        for (uint codePoint : expectedCodePoints) {
            from = text.indexOf(codePoint, from);
            QVERIFY2(from >= 0, qPrintable(QString::number(codePoint, 16)));
            ++from;
        }
        for (uint codePoint : forbiddenCodePoints)
            QVERIFY2(!text.contains(codePoint), qPrintable(QString::number(codePoint, 16)));
    }

    void keysInDeclarationOrder()
    {
        const QList<L> &keys = allKeys();
        QCOMPARE(keys.size(), 133);
        for (qsizetype i = 0; i < keys.size(); ++i)
            QCOMPARE(int(keys.at(i)), int(i));
        QCOMPARE(keys.first(), L::sectionInstalled);
        QCOMPARE(keys.at(5), L::language);
        QCOMPARE(keys.at(62), L::cancelled);
        QCOMPARE(keys.last(), L::errFailed);
        QCOMPARE(identifier(L::sectionInstalled), QStringLiteral("sectionInstalled"));
        QCOMPARE(identifier(L::requiresMacOS), QStringLiteral("requiresMacOS"));
        QCOMPARE(identifier(L::errFailed), QStringLiteral("errFailed"));
    }

    void everyKeyHasBothTexts_data()
    {
        QTest::addColumn<L>("key");
        for (L key : allKeys())
            QTest::addRow("%s", qPrintable(identifier(key))) << key;
    }

    void everyKeyHasBothTexts()
    {
        QFETCH(L, key);
        const auto english = Localizer::tableText(AppLanguage::English, key);
        const auto chinese = Localizer::tableText(AppLanguage::ChineseSimplified, key);
        QVERIFY(english && !english->isEmpty());
        QVERIFY(chinese && !chinese->isEmpty());
        // One format call serves both languages only if the placeholders agree.
        QCOMPARE(placeholders(*chinese), placeholders(*english));
    }

    void eachListHoldsEveryKeyOnce_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addRow("English") << AppLanguage::English;
        QTest::addRow("Chinese") << AppLanguage::ChineseSimplified;
    }

    void eachListHoldsEveryKeyOnce()
    {
        // A key listed twice would silently hide one of its texts.
        QFETCH(AppLanguage, language);
        const QList<Localizer::Entry> &entries = Localizer::entries(language);
        QSet<L> seen;
        for (const auto &entry : entries) {
            QVERIFY2(!seen.contains(entry.first), qPrintable(identifier(entry.first)));
            seen.insert(entry.first);
        }
        QCOMPARE(seen.size(), allKeys().size());
    }

    void lookupFallsBack_data()
    {
        QTest::addColumn<L>("key");
        QTest::addColumn<QString>("expected");
        QTest::addRow("in the language's table") << L::ok << QStringLiteral("确定");
        QTest::addRow("only in English") << L::refresh << QStringLiteral("Refresh");
        QTest::addRow("in neither") << L::sectionInstalled << QStringLiteral("sectionInstalled");
    }

    void lookupFallsBack()
    {
        QFETCH(L, key);
        QFETCH(QString, expected);
        const Localizer::Table chinese{{L::ok, QStringLiteral("确定")}};
        const Localizer::Table english{{L::ok, QStringLiteral("OK")}, {L::refresh, QStringLiteral("Refresh")}};
        QCOMPARE(Localizer::lookup(chinese, english, key), expected);
    }

    void format_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QList<Localizer::Argument>>("arguments");
        QTest::addColumn<QString>("expected");

        using Args = QList<Localizer::Argument>;
        QTest::addRow("no grouping") << QStringLiteral("%d installed") << Args{qint64(1234567)} << QStringLiteral("1234567 installed");
        QTest::addRow("largest 64-bit") << QStringLiteral("%d") << Args{std::numeric_limits<qint64>::max()}
                                        << QStringLiteral("9223372036854775807");
        QTest::addRow("smallest 64-bit") << QStringLiteral("%d") << Args{std::numeric_limits<qint64>::min()}
                                         << QStringLiteral("-9223372036854775808");
        QTest::addRow("negative") << QStringLiteral("[%d]") << Args{qint64(-42)} << QStringLiteral("[-42]");
        QTest::addRow("zero") << QStringLiteral("%d") << Args{qint64(0)} << QStringLiteral("0");
        QTest::addRow("two numbers in order") << QStringLiteral("protocol %d; understands %d") << Args{qint64(3), qint64(2)}
                                              << QStringLiteral("protocol 3; understands 2");
        QTest::addRow("number then text") << QStringLiteral("%d 个版本：%@") << Args{qint64(2), QStringLiteral("1.0, 1.1")}
                                          << QStringLiteral("2 个版本：1.0, 1.1");
        QTest::addRow("text unchanged") << QStringLiteral("用户%@(你)安装") << Args{QStringLiteral("ロビン")}
                                        << QStringLiteral("用户ロビン(你)安装");
        QTest::addRow("text holding placeholders is not refilled")
            << QStringLiteral("%@ / %@") << Args{QStringLiteral("%d %@ %1$@"), QStringLiteral("b")}
            << QStringLiteral("%d %@ %1$@ / b");
        QTest::addRow("positional") << QStringLiteral("Version %1$@") << Args{QStringLiteral("6.1")} << QStringLiteral("Version 6.1");
        QTest::addRow("positional reordered") << QStringLiteral("%2$@ before %1$@") << Args{QStringLiteral("a"), QStringLiteral("b")}
                                              << QStringLiteral("b before a");
        QTest::addRow("positional number") << QStringLiteral("%1$d/%1$d") << Args{qint64(-7)} << QStringLiteral("-7/-7");
        QTest::addRow("escaped percent") << QStringLiteral("100%% of %d") << Args{qint64(5)} << QStringLiteral("100% of 5");
        QTest::addRow("escaped percent before d") << QStringLiteral("%%d") << Args{qint64(5)} << QStringLiteral("%d");
        QTest::addRow("missing argument stays") << QStringLiteral("%d and %@") << Args{qint64(1)} << QStringLiteral("1 and %@");
        QTest::addRow("position past the arguments stays") << QStringLiteral("%3$@|%0$@") << Args{QStringLiteral("a")}
                                                           << QStringLiteral("%3$@|%0$@");
        QTest::addRow("huge position stays") << QStringLiteral("%99999999999999999999999$@") << Args{QStringLiteral("a")}
                                             << QStringLiteral("%99999999999999999999999$@");
        QTest::addRow("other sequences stay") << QStringLiteral("%s %5d %$@ 50%") << Args{QStringLiteral("a")}
                                              << QStringLiteral("%s %5d %$@ 50%");
        QTest::addRow("number for text") << QStringLiteral("%@") << Args{qint64(12)} << QStringLiteral("12");
        QTest::addRow("text for number") << QStringLiteral("%d") << Args{QStringLiteral("many")} << QStringLiteral("many");
    }

    void format()
    {
        QFETCH(QString, format);
        QFETCH(QList<Localizer::Argument>, arguments);
        QFETCH(QString, expected);
        QCOMPARE(Localizer::format(format, arguments), expected);
    }
};

REVEZE_TEST_MAIN(TestLocalizer)
#include "tst_localizer.moc"
