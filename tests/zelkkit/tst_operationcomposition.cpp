// Operation composition: how the install sheet's fields become the words,
// names, warnings and argument vector of one zelk operation.
#include "OperationArguments.h"
#include "PackageNameRules.h"
#include "SafetyWarning.h"
#include "ShellWords.h"
#include "TestSupport.h"

#include <QTest>

using namespace ZelkKit;
using Problem = PackageNameRules::Problem;

namespace ZelkKit {
namespace PackageNameRules {
char *toString(const Problem &problem)
{
    return QTest::toString(QStringLiteral("%1@%2").arg(problem.character).arg(problem.position));
}
} // namespace PackageNameRules

char *toString(const SafetyWarning &warning)
{
    return QTest::toString(warning.flag() + QLatin1Char('/') + rawValue(warning.reason()));
}
} // namespace ZelkKit

namespace {

// The ten fields with readable defaults, so that each row names only what it
// sets.
struct Fields {
    ZelkOperation operation = ZelkOperation::Install;
    QStringList packages = {};
    bool resume = false;
    bool removeOldVersions = false;
    QString maxTime = {};
    QString contentTime = {};
    QString connectTimeout = {};
    QString extraArguments = {};
    bool assumeYes = false;
    bool upgradeAll = false;

    OperationArguments make() const
    {
        return OperationArguments(operation, packages, resume, removeOldVersions, maxTime, contentTime,
                                  connectTimeout, extraArguments, assumeYes, upgradeAll);
    }
};

QString s(const char16_t *text)
{
    return QString::fromUtf16(text);
}

const QString family = s(u"\U0001F468\u200D\U0001F469\u200D\U0001F467"); // man ZWJ woman ZWJ girl
const QString flagJapan = s(u"\U0001F1EF\U0001F1F5");
const QString flagUs = s(u"\U0001F1FA\U0001F1F8");

} // namespace

Q_DECLARE_METATYPE(Fields)

class TestOperationComposition : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shellWords_data();
    void shellWords();

    void packageNames_data();
    void packageNames();
    void isAllowed_data();
    void isAllowed();
    void startsBadly_data();
    void startsBadly();

    void safetyWarnings_data();
    void safetyWarnings();
    void reasonRawValues();

    void argumentList_data();
    void argumentList();
    void isEmptyPackageList_data();
    void isEmptyPackageList();
};

void TestOperationComposition::shellWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words");

    QTest::addRow("empty") << QString() << QStringList();
    QTest::addRow("blanks only") << s(u"   ") << QStringList();
    QTest::addRow("two blanks between words") << s(u"--proxy  host:8080") << QStringList{s(u"--proxy"), s(u"host:8080")};
    QTest::addRow("tab separates") << s(u"a\tb") << QStringList{s(u"a"), s(u"b")};
    QTest::addRow("line feed separates") << s(u"a\nb") << QStringList{s(u"a"), s(u"b")};
    QTest::addRow("mixed separators collapse") << s(u" \t\na \n\t b\n") << QStringList{s(u"a"), s(u"b")};
    QTest::addRow("single quotes keep blanks") << s(u"'a b'") << QStringList{s(u"a b")};
    QTest::addRow("touching pieces join") << s(u"x'a b'y") << QStringList{s(u"xa by")};
    QTest::addRow("mixed quotes join") << s(u"\"a\"'b'c") << QStringList{s(u"abc")};
    QTest::addRow("empty single quotes") << s(u"''") << QStringList{QString()};
    QTest::addRow("empty double quotes") << s(u"\"\"") << QStringList{QString()};
    QTest::addRow("empty word between words") << s(u"a '' b") << QStringList{s(u"a"), QString(), s(u"b")};
    QTest::addRow("empty quotes after a word add nothing") << s(u"a\"\"") << QStringList{s(u"a")};
    QTest::addRow("backslash outside quotes is ordinary") << s(u"a\\ b") << QStringList{s(u"a\\"), s(u"b")};
    QTest::addRow("backslash in single quotes is ordinary") << s(u"'a\\b'") << QStringList{s(u"a\\b")};
    QTest::addRow("backslash in double quotes escapes any character") << s(u"\"a\\b\"") << QStringList{s(u"ab")};
    QTest::addRow("escaped double quotes") << s(u"\"say \\\"hi\\\"\"") << QStringList{s(u"say \"hi\"")};
    QTest::addRow("escaped backslash") << s(u"\"a\\\\b\"") << QStringList{s(u"a\\b")};
    QTest::addRow("single quote inside double quotes") << s(u"\"it's\"") << QStringList{s(u"it's")};
    QTest::addRow("double quotes inside single quotes") << s(u"'say \"hi\"'") << QStringList{s(u"say \"hi\"")};
    QTest::addRow("separators inside double quotes") << s(u"\"a\tb\nc\"") << QStringList{s(u"a\tb\nc")};
    QTest::addRow("unterminated double quote") << s(u"\"open ended") << QStringList{s(u"open ended")};
    QTest::addRow("unterminated single quote") << s(u"'half") << QStringList{s(u"half")};
    QTest::addRow("lone quote is one empty word") << s(u"'") << QStringList{QString()};
    QTest::addRow("trailing backslash in open double quote dropped") << s(u"\"x\\") << QStringList{s(u"x")};
    QTest::addRow("escape keeps a separator") << s(u"\"a\\ b\"") << QStringList{s(u"a b")};
    QTest::addRow("escape takes a whole character") << s(u"\"\\e\u0301\"") << QStringList{s(u"e\u0301")};
    QTest::addRow("carriage return alone is ordinary") << s(u"a\rb") << QStringList{s(u"a\rb")};
    QTest::addRow("CR LF is one ordinary character") << s(u"a\r\nb") << QStringList{s(u"a\r\nb")};
    QTest::addRow("no-break space is ordinary") << s(u"a\u00A0b") << QStringList{s(u"a\u00A0b")};
    QTest::addRow("ideographic space is ordinary") << s(u"a\u3000b") << QStringList{s(u"a\u3000b")};
    QTest::addRow("blank with combining mark is ordinary") << s(u"a \u0301b") << QStringList{s(u"a \u0301b")};
    // A tab is a control character, which never takes a combining mark.
    QTest::addRow("tab stays a separator before a combining mark")
        << s(u"a\t\u0301 b") << QStringList{s(u"a"), s(u"\u0301"), s(u"b")};
    QTest::addRow("quote with combining mark is ordinary") << s(u"'\u0301 b") << QStringList{s(u"'\u0301"), s(u"b")};
    QTest::addRow("backslash with combining mark does not escape")
        << s(u"\"\\\u0301\"x\"") << QStringList{s(u"\\\u0301x")};
    QTest::addRow("closing quote with combining mark stays open")
        << s(u"'a'\u0301 b") << QStringList{s(u"a'\u0301 b")};
    QTest::addRow("emoji and Chinese") << s(u"\u4F60\u597D ") + family + s(u" ") + flagJapan
                                       << QStringList{s(u"\u4F60\u597D"), family, flagJapan};
}

void TestOperationComposition::shellWords()
{
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    QCOMPARE(ShellWords::split(text), words);
}

void TestOperationComposition::packageNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<Problem>>("problems");
    QTest::addColumn<bool>("valid");

    QTest::addRow("empty") << QString() << QStringList() << QList<Problem>() << false;
    QTest::addRow("blanks and commas only") << s(u" ,, \t,") << QStringList() << QList<Problem>() << false;
    QTest::addRow("jq") << s(u"jq") << QStringList{s(u"jq")} << QList<Problem>() << true;
    QTest::addRow("version separator") << s(u"ffmpeg@6.1") << QStringList{s(u"ffmpeg@6.1")} << QList<Problem>() << true;
    QTest::addRow("plus and underscore") << s(u"x+y node_18") << QStringList{s(u"x+y"), s(u"node_18")}
                                         << QList<Problem>() << true;
    QTest::addRow("repeated punctuation is fine") << s(u"a@@1 x..") << QStringList{s(u"a@@1"), s(u"x..")}
                                                  << QList<Problem>() << true;
    QTest::addRow("comma and blank are interchangeable")
        << s(u" jq, ffmpeg@6.1,,") << QStringList{s(u"jq"), s(u"ffmpeg@6.1")} << QList<Problem>() << true;
    QTest::addRow("leading dash starts badly") << s(u"-rf") << QStringList{s(u"-rf")} << QList<Problem>() << false;
    QTest::addRow("one bad start spoils the text") << s(u"jq @scope") << QStringList{s(u"jq"), s(u"@scope")}
                                                   << QList<Problem>() << false;
    QTest::addRow("leading digit is fine") << s(u"9base") << QStringList{s(u"9base")} << QList<Problem>() << true;
    QTest::addRow("precomposed accent") << s(u"caf\u00E9") << QStringList{s(u"caf\u00E9")}
                                        << QList<Problem>{{s(u"\u00E9"), 3}} << false;
    QTest::addRow("combining accent is one character") << s(u"cafe\u0301/") << QStringList{s(u"cafe\u0301/")}
                                                       << QList<Problem>{{s(u"e\u0301"), 3}, {s(u"/"), 4}} << false;
    QTest::addRow("slash") << s(u"a/b") << QStringList{s(u"a/b")} << QList<Problem>{{s(u"/"), 1}} << false;
    QTest::addRow("comma counts in positions") << s(u"jq,/x") << QStringList{s(u"jq"), s(u"/x")}
                                               << QList<Problem>{{s(u"/"), 3}} << false;
    QTest::addRow("leading blanks count in positions") << s(u"  a/b") << QStringList{s(u"a/b")}
                                                       << QList<Problem>{{s(u"/"), 3}} << false;
    QTest::addRow("ideographic space separates") << s(u"jq\u3000fd") << QStringList{s(u"jq"), s(u"fd")}
                                                 << QList<Problem>() << true;
    QTest::addRow("no-break space and line separator separate")
        << s(u"jq\u00A0fd\u2028x") << QStringList{s(u"jq"), s(u"fd"), s(u"x")} << QList<Problem>() << true;
    QTest::addRow("CR LF is one separator") << s(u"jq\r\n/x") << QStringList{s(u"jq"), s(u"/x")}
                                            << QList<Problem>{{s(u"/"), 3}} << false;
    QTest::addRow("blank with combining mark separates")
        << s(u"jq \u0301fd/") << QStringList{s(u"jq"), s(u"fd/")} << QList<Problem>{{s(u"/"), 5}} << false;
    QTest::addRow("tab before a combining mark separates")
        << s(u"jq\t\u0301") << QStringList{s(u"jq"), s(u"\u0301")} << QList<Problem>{{s(u"\u0301"), 3}} << false;
    QTest::addRow("comma with combining mark is refused")
        << s(u"jq,\u0301fd") << QStringList{s(u"jq,\u0301fd")} << QList<Problem>{{s(u",\u0301"), 2}} << false;
    QTest::addRow("family emoji is one character")
        << s(u"a") + family + s(u"/b") << QStringList{s(u"a") + family + s(u"/b")}
        << QList<Problem>{{family, 1}, {s(u"/"), 2}} << false;
    QTest::addRow("flags are one character each")
        << s(u"x") + flagJapan + flagUs + s(u"/") << QStringList{s(u"x") + flagJapan + flagUs + s(u"/")}
        << QList<Problem>{{flagJapan, 1}, {flagUs, 2}, {s(u"/"), 3}} << false;
    QTest::addRow("letter outside the BMP") << s(u"x\U0001D41A") << QStringList{s(u"x\U0001D41A")}
                                            << QList<Problem>{{s(u"\U0001D41A"), 1}} << false;
    QTest::addRow("Chinese name") << s(u"jq \u5305") << QStringList{s(u"jq"), s(u"\u5305")}
                                  << QList<Problem>{{s(u"\u5305"), 3}} << false;
}

void TestOperationComposition::packageNames()
{
    QFETCH(QString, text);
    QFETCH(QStringList, entries);
    QFETCH(QList<Problem>, problems);
    QFETCH(bool, valid);

    QCOMPARE(PackageNameRules::entries(text), entries);
    QCOMPARE(PackageNameRules::problems(text), problems);
    QCOMPARE(PackageNameRules::isValid(text), valid);
    // Nothing typed yet is no problem; anything else that is not valid is.
    QCOMPARE(PackageNameRules::hasProblem(text), !entries.isEmpty() && !valid);
}

void TestOperationComposition::isAllowed_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<bool>("allowed");

    QTest::addRow("letter") << s(u"a") << true;
    QTest::addRow("digit") << s(u"7") << true;
    QTest::addRow("dot") << s(u".") << true;
    QTest::addRow("underscore") << s(u"_") << true;
    QTest::addRow("plus") << s(u"+") << true;
    QTest::addRow("dash") << s(u"-") << true;
    QTest::addRow("at") << s(u"@") << true;
    QTest::addRow("slash") << s(u"/") << false;
    QTest::addRow("comma") << s(u",") << true;
    QTest::addRow("carriage return") << s(u"\r") << true;
    QTest::addRow("CR LF") << s(u"\r\n") << true;
    QTest::addRow("next line") << s(u"\u0085") << true;
    QTest::addRow("blank with combining mark") << s(u" \u0301") << true;
    QTest::addRow("letter with combining mark") << s(u"a\u0301") << false;
    QTest::addRow("fullwidth letter") << s(u"\uFF41") << false;
    QTest::addRow("control character") << s(u"\u0001") << false;
}

void TestOperationComposition::isAllowed()
{
    QFETCH(QString, character);
    QFETCH(bool, allowed);
    QCOMPARE(PackageNameRules::isAllowed(character), allowed);
}

void TestOperationComposition::startsBadly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("bad");

    QTest::addRow("empty") << QString() << false;
    QTest::addRow("letter") << s(u"jq") << false;
    QTest::addRow("upper-case letter") << s(u"Zed") << false;
    QTest::addRow("digit") << s(u"9base") << false;
    QTest::addRow("dot") << s(u".x") << true;
    QTest::addRow("underscore") << s(u"_x") << true;
    QTest::addRow("plus") << s(u"+x") << true;
    QTest::addRow("dash") << s(u"-rf") << true;
    QTest::addRow("at") << s(u"@scope") << true;
    QTest::addRow("letter with combining mark") << s(u"a\u0301b") << true;
    QTest::addRow("non-ASCII letter") << s(u"\u00E9a") << true;
}

void TestOperationComposition::startsBadly()
{
    QFETCH(QString, name);
    QFETCH(bool, bad);
    QCOMPARE(PackageNameRules::startsBadly(name), bad);
}

void TestOperationComposition::safetyWarnings_data()
{
    using Reason = SafetyWarning::Reason;
    const SafetyWarning force(QStringLiteral("--force"), Reason::UnsupportedOS);
    const SafetyWarning skipSsl(QStringLiteral("--skip-ssl"), Reason::InsecureTransport);

    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QList<SafetyWarning>>("warnings");

    QTest::addRow("no words") << QStringList() << QList<SafetyWarning>();
    QTest::addRow("-F is reported as --force") << QStringList{s(u"-F")} << QList<SafetyWarning>{force};
    QTest::addRow("-F and --force share a reason") << QStringList{s(u"-F"), s(u"--force")}
                                                   << QList<SafetyWarning>{force};
    QTest::addRow("value after = is not examined")
        << QStringList{s(u"--force=1"), s(u"--skip-ssl")} << QList<SafetyWarning>{force, skipSsl};
    QTest::addRow("first appearance decides the order")
        << QStringList{s(u"--skip-ssl"), s(u"-F"), s(u"--skip-ssl")} << QList<SafetyWarning>{skipSsl, force};
    QTest::addRow("false value still warns") << QStringList{s(u"--skip-ssl=false")} << QList<SafetyWarning>{skipSsl};
    QTest::addRow("-F with a value") << QStringList{s(u"-F=1")} << QList<SafetyWarning>{force};
    QTest::addRow("leading = skipped") << QStringList{s(u"=--force")} << QList<SafetyWarning>{force};
    QTest::addRow("several = around the name") << QStringList{s(u"==--skip-ssl==x=y")}
                                               << QList<SafetyWarning>{skipSsl};
    QTest::addRow("value of another switch") << QStringList{s(u"--proxy"), s(u"--force")}
                                             << QList<SafetyWarning>{force};
    QTest::addRow("value starting with a combining mark")
        << QStringList{s(u"--force=\u0301")} << QList<SafetyWarning>{force};
    // zelk receives each word only up to a NUL.
    QTest::addRow("NUL ends the word zelk receives")
        << QStringList{s(u"--force") + QChar(u'\0') + s(u"x"), s(u"--skip-ssl") + QChar(u'\0') + s(u"=")}
        << QList<SafetyWarning>{force, skipSsl};
    QTest::addRow("NUL before the name") << QStringList{QChar(u'\0') + s(u"--force")} << QList<SafetyWarning>();
    QTest::addRow("empty word and = only") << QStringList{QString(), s(u"="), s(u"===")} << QList<SafetyWarning>();
    QTest::addRow("longer name") << QStringList{s(u"--forced")} << QList<SafetyWarning>();
    QTest::addRow("upper case") << QStringList{s(u"--FORCE"), s(u"--SKIP-SSL")} << QList<SafetyWarning>();
    QTest::addRow("lower-case short switch") << QStringList{s(u"-f")} << QList<SafetyWarning>();
    QTest::addRow("negated switch") << QStringList{s(u"--no-skip-ssl")} << QList<SafetyWarning>();
    QTest::addRow("grouped short switches") << QStringList{s(u"-yF")} << QList<SafetyWarning>();
    QTest::addRow("name after =") << QStringList{s(u"x=--force")} << QList<SafetyWarning>();
    QTest::addRow("quoted blank after the name") << QStringList{s(u"--force ")} << QList<SafetyWarning>();
    QTest::addRow("accent on the last letter") << QStringList{s(u"--force\u0301")} << QList<SafetyWarning>();
}

void TestOperationComposition::safetyWarnings()
{
    QFETCH(QStringList, words);
    QFETCH(QList<SafetyWarning>, warnings);
    const QList<SafetyWarning> found = SafetyWarning::detect(words);
    QCOMPARE(found, warnings);
    for (const SafetyWarning &warning : found)
        QCOMPARE(warning.id(), warning.flag());
}

void TestOperationComposition::reasonRawValues()
{
    using Reason = SafetyWarning::Reason;
    for (const auto &[reason, raw] : {std::pair{Reason::InsecureTransport, u"insecureTransport"},
                                      std::pair{Reason::UnsupportedOS, u"unsupportedOS"}}) {
        QCOMPARE(rawValue(reason), s(raw));
        QVERIFY(reasonFromRawValue(s(raw)) == reason);
    }
    QVERIFY(!reasonFromRawValue(u"InsecureTransport"));
}

void TestOperationComposition::argumentList_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("preview");

    QTest::addRow("install, nothing set") << Fields{} << QStringList{s(u"install")} << s(u"zelk install");
    QTest::addRow("upgrade all passes no names")
        << Fields{.operation = ZelkOperation::Upgrade, .packages = {s(u"jq")}, .upgradeAll = true}
        << QStringList{s(u"upgrade"), s(u"--all")} << s(u"zelk upgrade --all");
    QTest::addRow("install ignores the upgrade-only switches")
        << Fields{.packages = {s(u"jq")}, .removeOldVersions = true, .upgradeAll = true}
        << QStringList{s(u"install"), s(u"jq")} << s(u"zelk install jq");
    QTest::addRow("reinstall ignores the upgrade-only switches")
        << Fields{.operation = ZelkOperation::Reinstall, .packages = {s(u"jq")}, .removeOldVersions = true,
                  .upgradeAll = true}
        << QStringList{s(u"reinstall"), s(u"jq")} << s(u"zelk reinstall jq");
    QTest::addRow("reinstall with resume")
        << Fields{.operation = ZelkOperation::Reinstall, .packages = {s(u"jq"), s(u"fd")}, .resume = true}
        << QStringList{s(u"reinstall"), s(u"jq"), s(u"fd"), s(u"--continue")} << s(u"zelk reinstall jq fd --continue");
    QTest::addRow("upgrade of jq")
        << Fields{.operation = ZelkOperation::Upgrade, .packages = {s(u"jq")}, .resume = true,
                  .removeOldVersions = true, .maxTime = s(u" 600 "), .extraArguments = s(u"--verbose"),
                  .assumeYes = true}
        << QStringList{s(u"upgrade"), s(u"jq"), s(u"--continue"), s(u"--remove-old-versions"), s(u"--max-time"),
                       s(u"600"), s(u"--yes"), s(u"--verbose")}
        << s(u"zelk upgrade jq --continue --remove-old-versions --max-time 600 --yes --verbose");
    QTest::addRow("every switch in its place")
        << Fields{.operation = ZelkOperation::Upgrade, .packages = {s(u"jq"), s(u"fd")}, .resume = true,
                  .removeOldVersions = true, .maxTime = s(u"2h"), .contentTime = s(u"1min"),
                  .connectTimeout = s(u"40s"), .extraArguments = s(u"--all --yes"), .assumeYes = true}
        << QStringList{s(u"upgrade"), s(u"jq"), s(u"fd"), s(u"--continue"), s(u"--remove-old-versions"),
                       s(u"--max-time"), s(u"2h"), s(u"--content-time"), s(u"1min"), s(u"--connect-timeout"),
                       s(u"40s"), s(u"--yes"), s(u"--all"), s(u"--yes")}
        << s(u"zelk upgrade jq fd --continue --remove-old-versions --max-time 2h --content-time 1min "
             u"--connect-timeout 40s --yes --all --yes");
    QTest::addRow("blank limits add nothing")
        << Fields{.maxTime = s(u"   "), .contentTime = s(u"\t\n"), .connectTimeout = s(u"\u3000\u2028")}
        << QStringList{s(u"install")} << s(u"zelk install");
    QTest::addRow("limits trimmed of white space and line breaks")
        << Fields{.maxTime = s(u" 30\n"), .contentTime = s(u"\r\n40s\u0085"), .connectTimeout = s(u"\u00A0 1 m ")}
        << QStringList{s(u"install"), s(u"--max-time"), s(u"30"), s(u"--content-time"), s(u"40s"),
                       s(u"--connect-timeout"), s(u"1 m")}
        << s(u"zelk install --max-time 30 --content-time 40s --connect-timeout 1 m");
    QTest::addRow("only empty entries are dropped")
        << Fields{.packages = {QString(), s(u" "), s(u" jq\t"), QString()}}
        << QStringList{s(u"install"), s(u" "), s(u" jq\t")} << s(u"zelk install    jq\t");
    QTest::addRow("quoted extra word keeps its blank")
        << Fields{.extraArguments = s(u"a \"b c\"")} << QStringList{s(u"install"), s(u"a"), s(u"b c")}
        << s(u"zelk install a b c");
    QTest::addRow("empty extra word shows as two blanks")
        << Fields{.extraArguments = s(u"'' x")} << QStringList{s(u"install"), QString(), s(u"x")}
        << s(u"zelk install  x");
}

void TestOperationComposition::argumentList()
{
    QFETCH(Fields, fields);
    QFETCH(QStringList, arguments);
    QFETCH(QString, preview);

    const OperationArguments request = fields.make();
    QCOMPARE(request.argumentList(), arguments);
    QCOMPARE(request.preview(), preview);
}

void TestOperationComposition::isEmptyPackageList_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<bool>("empty");

    QTest::addRow("no entries") << Fields{} << true;
    QTest::addRow("one blank") << Fields{.packages = {s(u" ")}} << true;
    QTest::addRow("one tab") << Fields{.packages = {s(u"\t")}} << true;
    QTest::addRow("space separators") << Fields{.packages = {s(u"\u00A0\u3000\u2003"), QString()}} << true;
    QTest::addRow("line feed is content") << Fields{.packages = {s(u"\n")}} << false;
    QTest::addRow("carriage return is content") << Fields{.packages = {s(u" \r ")}} << false;
    QTest::addRow("line separator is content") << Fields{.packages = {s(u"\u2028")}} << false;
    QTest::addRow("one name among blanks") << Fields{.packages = {s(u" "), s(u" jq ")}} << false;
    QTest::addRow("upgrade all names nothing but is not empty")
        << Fields{.operation = ZelkOperation::Upgrade, .upgradeAll = true} << false;
    QTest::addRow("upgrade all is ignored for install") << Fields{.upgradeAll = true} << true;
    QTest::addRow("upgrade without all") << Fields{.operation = ZelkOperation::Upgrade, .packages = {s(u"\t")}}
                                         << true;
}

void TestOperationComposition::isEmptyPackageList()
{
    QFETCH(Fields, fields);
    QFETCH(bool, empty);
    QCOMPARE(fields.make().isEmptyPackageList(), empty);
}

REVEZE_TEST_MAIN(TestOperationComposition)
#include "tst_operationcomposition.moc"
