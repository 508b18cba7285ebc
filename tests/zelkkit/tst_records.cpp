// The records decoded from zelk's JSON documents and the doctor's text: the
// strict all-or-nothing decoding with its failure texts, and the derived
// values the screens read.

#include "CLIInfo.h"
#include "InstallStatus.h"
#include "InternetDateTime.h"
#include "Json.h"
#include "Models.h"
#include "TestSupport.h"
#include "Utf8.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTest>

#include <functional>

using namespace ZelkKit;

namespace {

QByteArray toJson(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// A complete, valid install-status package record.
QJsonObject detailObject(const QString &name)
{
    return QJsonObject{
        {u"name"_qs, name},
        {u"version"_qs, u"1.0"_qs},
        {u"versions"_qs, QJsonArray{u"1.0"_qs}},
        {u"kind"_qs, u"pkg"_qs},
        {u"requested"_qs, true},
        {u"installed_at"_qs, u"2024-03-09T08:15:00Z"_qs},
        {u"arch"_qs, u"arm64"_qs},
        {u"tree"_qs, false},
        {u"linked"_qs, true},
        {u"linked_version"_qs, u"1.0"_qs},
        {u"commands"_qs, QJsonArray{name}},
        {u"deps"_qs, QJsonArray{}},
        {u"path"_qs, u"/opt/rurirud/pkgs/"_qs + name},
        {u"size_bytes"_qs, 4096},
        {u"file"_qs, name + u".tar.zst"_qs},
        {u"sha256"_qs, u"ab12"_qs},
        {u"source"_qs, u"main"_qs},
        {u"installed_by"_qs, u"zelk 1.0"_qs},
        {u"installed_by_user"_qs, u"alice"_qs},
    };
}

QByteArray statusDocument(const QJsonArray &packages)
{
    return toJson(QJsonObject{{u"base_dir"_qs, u"/opt/rurirud"_qs}, {u"packages"_qs, packages}});
}

// Three valid packages, the third changed by edit.
QByteArray statusWithThird(const std::function<void(QJsonObject &)> &edit)
{
    QJsonObject third = detailObject(u"c"_qs);
    edit(third);
    return statusDocument(QJsonArray{detailObject(u"a"_qs), detailObject(u"b"_qs), third});
}

// Decodes document as the named record; the failure text, or "" on success.
QString decodeError(const QString &record, const QByteArray &document)
{
    QString error;
    bool ok = false;
    if (record == u"version")
        ok = Json::decodeDocument<CLIInfo>(document, &CLIInfo::fromJson, &error).has_value();
    else if (record == u"list")
        ok = Json::decodeDocument<InstalledList>(document, &InstalledList::fromJson, &error).has_value();
    else if (record == u"status")
        ok = Json::decodeDocument<InstallStatus>(document, &InstallStatus::fromJson, &error).has_value();
    else if (record == u"catalog")
        ok = Json::decodeDocument<CatalogDocument>(document, &CatalogDocument::fromJson, &error).has_value();
    else if (record == u"info")
        ok = Json::decodeDocument<PackageInfo>(document, &PackageInfo::fromJson, &error).has_value();
    else if (record == u"search")
        ok = Json::decodeDocument<SearchResult>(document, &SearchResult::fromJson, &error).has_value();
    else if (record == u"outdated")
        ok = Json::decodeDocument<QList<OutdatedItem>>(document, &OutdatedItem::listFromJson, &error).has_value();
    else if (record == u"mirrors")
        ok = Json::decodeDocument<MirrorConfig>(document, &MirrorConfig::fromJson, &error).has_value();
    else if (record == u"index")
        ok = Json::decodeDocument<IndexStatus>(document, &IndexStatus::fromJson, &error).has_value();
    else
        qFatal("unknown record %s", qPrintable(record));
    if (ok)
        return QString();
    return error.isEmpty() ? u"(failed without a description)"_qs : error;
}

template<typename T, typename Decode>
T decoded(const QByteArray &document, Decode decode)
{
    QString error;
    const std::optional<T> value = Json::decodeDocument<T>(document, decode, &error);
    if (!value)
        qFatal("fixture did not decode: %s", qPrintable(error));
    return *value;
}

InstalledDetail detailWithDeps(const QString &name, const QStringList &deps)
{
    InstalledDetail detail;
    detail.name = name;
    detail.deps = deps;
    return detail;
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decoding_data();
    void decoding();
    void integerRule_data();
    void integerRule();
    void utf8Text_data();
    void utf8Text();
    void jsonEdgeCases_data();
    void jsonEdgeCases();
    void cliInfoDecodes();
    void cliInfoCompatibility_data();
    void cliInfoCompatibility();
    void installStatusDecodes();
    void optionalNullOrMissing();
    void kinds_data();
    void kinds();
    void packageNamed();
    void dependents_data();
    void dependents();
    void dependentsMapFiling();
    void internetDateTime_data();
    void internetDateTime();
    void installedDate();
    void linkIsStale_data();
    void linkIsStale();
    void newest_data();
    void newest();
    void packageInfoDerived_data();
    void packageInfoDerived();
    void outdatedKeepsOrder();
    void doctorParse_data();
    void doctorParse();
    void doctorIsError_data();
    void doctorIsError();
    void doctorIdentity();
    void detailEqualityCoversEveryField_data();
    void detailEqualityCoversEveryField();
    void equalRecordsHashEqual();
};

// --- Strict decoding: which documents fail, with which text ---------------

void TestRecords::decoding_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("error"); // "" = decodes

    const QByteArray versionOk = R"({"version":"1.4.0","protocol":1,"capabilities":["json-progress","status"]})";
    QTest::addRow("version: minimal") << u"version"_qs << versionOk << QString();
    QTest::addRow("version: unknown keys ignored")
        << u"version"_qs << QByteArray(R"({"version":"1","protocol":1,"capabilities":[],"extra":{"x":[1,2]}})")
        << QString();
    QTest::addRow("version: no capabilities")
        << u"version"_qs << QByteArray(R"({"version":"1","protocol":1})") << u"capabilities: missing key"_qs;
    QTest::addRow("version: protocol as a string")
        << u"version"_qs << QByteArray(R"({"version":"1","protocol":"1","capabilities":[]})")
        << u"protocol: expected an integer, found a string"_qs;
    QTest::addRow("version: required key null")
        << u"version"_qs << QByteArray(R"({"version":null,"protocol":1,"capabilities":[]})")
        << u"version: expected a string, found null"_qs;
    QTest::addRow("version: platform of the wrong type")
        << u"version"_qs << QByteArray(R"({"version":"1","protocol":1,"capabilities":[],"platform":7})")
        << u"platform: expected a string, found a number"_qs;
    QTest::addRow("version: a capability that is not a string")
        << u"version"_qs << QByteArray(R"({"version":"1","protocol":1,"capabilities":["status",true]})")
        << u"capabilities[1]: expected a string, found a boolean"_qs;
    QTest::addRow("version: keys are case-sensitive")
        << u"version"_qs << QByteArray(R"({"Version":"1","protocol":1,"capabilities":[]})")
        << u"version: missing key"_qs;
    QTest::addRow("version: root is an array")
        << u"version"_qs << QByteArray(R"([{"version":"1","protocol":1,"capabilities":[]}])")
        << u"expected an object, found an array"_qs;
    QTest::addRow("version: white space around the document")
        << u"version"_qs << QByteArray(" \n\t" + versionOk + "\r\n") << QString();

    // The failure texts that reach the user after "Could not read `zelk` output: ".
    QTest::addRow("status: third package lacks sha256")
        << u"status"_qs << statusWithThird([](QJsonObject &o) { o.remove(u"sha256"_qs); })
        << u"packages[2].sha256: missing key"_qs;
    QTest::addRow("status: size_bytes as a string")
        << u"status"_qs << statusWithThird([](QJsonObject &o) { o[u"size_bytes"_qs] = u"4096"_qs; })
        << u"packages[2].size_bytes: expected an integer, found a string"_qs;
    QTest::addRow("status: boolean given as a number")
        << u"status"_qs << statusWithThird([](QJsonObject &o) { o[u"requested"_qs] = 1; })
        << u"packages[2].requested: expected a boolean, found a number"_qs;
    QTest::addRow("status: list given as an object")
        << u"status"_qs << statusWithThird([](QJsonObject &o) { o[u"deps"_qs] = QJsonObject{}; })
        << u"packages[2].deps: expected an array, found an object"_qs;
    QTest::addRow("status: one bad list element")
        << u"status"_qs << statusWithThird([](QJsonObject &o) { o[u"versions"_qs] = QJsonArray{u"1.0"_qs, 2}; })
        << u"packages[2].versions[1]: expected a string, found a number"_qs;
    QTest::addRow("status: optional key of the wrong type")
        << u"status"_qs << statusWithThird([](QJsonObject &o) { o[u"arch"_qs] = 64; })
        << u"packages[2].arch: expected a string, found a number"_qs;
    QTest::addRow("status: required string null")
        << u"status"_qs << statusWithThird([](QJsonObject &o) { o[u"path"_qs] = QJsonValue::Null; })
        << u"packages[2].path: expected a string, found null"_qs;
    QTest::addRow("status: kind as the long word")
        << u"status"_qs << statusWithThird([](QJsonObject &o) { o[u"kind"_qs] = u"package"_qs; })
        << u"packages[2].kind: unexpected value \"package\""_qs;
    QTest::addRow("status: null arch decodes")
        << u"status"_qs << statusWithThird([](QJsonObject &o) { o[u"arch"_qs] = QJsonValue::Null; }) << QString();
    QTest::addRow("status: package record is not an object")
        << u"status"_qs << statusDocument(QJsonArray{detailObject(u"a"_qs), u"b"_qs})
        << u"packages[1]: expected an object, found a string"_qs;
    QTest::addRow("status: no base_dir")
        << u"status"_qs << QByteArray(R"({"packages":[]})") << u"base_dir: missing key"_qs;

    QTest::addRow("list: installed missing")
        << u"list"_qs << QByteArray(R"({"packages":[{"name":"a","installed":["1"]},{"name":"b"}]})")
        << u"packages[1].installed: missing key"_qs;

    QTest::addRow("catalog: without schema and generated_at")
        << u"catalog"_qs << QByteArray(R"({"packages":[{"name":"a","kind":"pkg","versions":[]}]})") << QString();
    QTest::addRow("catalog: without packages")
        << u"catalog"_qs << QByteArray(R"({"schema":1})") << u"packages: missing key"_qs;
    QTest::addRow("catalog: schema with a fraction")
        << u"catalog"_qs << QByteArray(R"({"schema":1.5,"packages":[]})")
        << u"schema: expected an integer, found a number with a fraction"_qs;
    QTest::addRow("catalog: entry without versions")
        << u"catalog"_qs << QByteArray(R"({"packages":[{"name":"a","kind":"pkg"}]})")
        << u"packages[0].versions: missing key"_qs;

    QTest::addRow("info: installed missing")
        << u"info"_qs << QByteArray(R"({"name":"a","available":[]})") << u"installed: missing key"_qs;
    QTest::addRow("info: deps of the wrong type")
        << u"info"_qs << QByteArray(R"({"name":"a","installed":[],"available":[],"deps":"b"})")
        << u"deps: expected an array, found a string"_qs;

    QTest::addRow("search: all missing")
        << u"search"_qs << QByteArray(R"({"query":"","packages":[]})") << u"all: missing key"_qs;
    QTest::addRow("search: complete")
        << u"search"_qs << QByteArray(R"({"query":"","all":true,"packages":["a","b"]})") << QString();

    QTest::addRow("outdated: empty array") << u"outdated"_qs << QByteArray("[]") << QString();
    QTest::addRow("outdated: object at the root")
        << u"outdated"_qs << QByteArray(R"({"name":"a"})") << u"expected an array, found an object"_qs;
    QTest::addRow("outdated: item without linked")
        << u"outdated"_qs << QByteArray(R"([{"name":"a","installed":"1","latest":"2","status":"outdated"}])")
        << QString();
    QTest::addRow("outdated: second item without status")
        << u"outdated"_qs
        << QByteArray(R"([{"name":"a","installed":"1","latest":"2","status":"s"},{"name":"b","installed":"1","latest":"2"}])")
        << u"[1].status: missing key"_qs;
    QTest::addRow("outdated: linked is text, not a boolean")
        << u"outdated"_qs << QByteArray(R"([{"name":"a","installed":"1","latest":"2","status":"s","linked":true}])")
        << u"[0].linked: expected a string, found a boolean"_qs;

    QTest::addRow("mirrors: empty list") << u"mirrors"_qs << QByteArray(R"({"mirrors":[]})") << QString();
    QTest::addRow("mirrors: no mirrors") << u"mirrors"_qs << QByteArray("{}") << u"mirrors: missing key"_qs;
    QTest::addRow("mirrors: entry without source")
        << u"mirrors"_qs << QByteArray(R"({"mirrors":[{"name":"main"}]})") << u"mirrors[0].source: missing key"_qs;
    QTest::addRow("mirrors: requires_auth as the string true")
        << u"mirrors"_qs << QByteArray(R"({"mirrors":[{"name":"m","source":"env","requires_auth":"true"}]})")
        << u"mirrors[0].requires_auth: expected a boolean, found a string"_qs;

    QTest::addRow("index: only path and exists")
        << u"index"_qs << QByteArray(R"({"path":"/i","exists":false})") << QString();
    QTest::addRow("index: no exists") << u"index"_qs << QByteArray(R"({"path":"/i"})") << u"exists: missing key"_qs;
    QTest::addRow("index: age_seconds as a string")
        << u"index"_qs << QByteArray(R"({"path":"/i","exists":true,"age_seconds":"5"})")
        << u"age_seconds: expected an integer, found a string"_qs;

    // A key given twice counts with its last value, as with the platform's
    // standard decoder; also in objects too large for the key index.
    QTest::addRow("repeated key, last one valid")
        << u"version"_qs << QByteArray(R"({"version":"1","protocol":"x","capabilities":[],"protocol":1})") << QString();
    QTest::addRow("repeated key, last one invalid")
        << u"version"_qs << QByteArray(R"({"version":"1","protocol":1,"capabilities":[],"protocol":"x"})")
        << u"protocol: expected an integer, found a string"_qs;
    QByteArray wide = R"({"version":"1","protocol":"x","capabilities":[])";
    for (int i = 0; i < 40; ++i)
        wide += ",\"extra" + QByteArray::number(i) + "\":" + QByteArray::number(i);
    QTest::addRow("repeated key in a wide object, last one valid")
        << u"version"_qs << QByteArray(wide + R"(,"protocol":1})") << QString();
    QTest::addRow("missing key in a wide object")
        << u"version"_qs << QByteArray(wide + "}").replace(R"("version":"1",)", "") << u"version: missing key"_qs;
    QByteArray items = "[";
    for (int i = 0; i < 12; ++i)
        items += R"({"name":"a","installed":"1","latest":"2","status":"s"},)";
    QTest::addRow("path of a later list element")
        << u"outdated"_qs << QByteArray(items + R"({"name":"b"}])") << u"[12].installed: missing key"_qs;

    QTest::addRow("empty output") << u"index"_qs << QByteArray("") << u"the output is empty"_qs;
    QTest::addRow("blank output") << u"index"_qs << QByteArray(" \n ") << u"the output is empty"_qs;
}

void TestRecords::decoding()
{
    QFETCH(QString, record);
    QFETCH(QByteArray, document);
    QFETCH(QString, error);
    QCOMPARE(decodeError(record, document), error);
}

void TestRecords::integerRule_data()
{
    QTest::addColumn<QByteArray>("number");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<qint64>("value");

    QTest::addRow("plain") << QByteArray("1") << true << qint64(1);
    QTest::addRow("integral with a fraction part") << QByteArray("1.0") << true << qint64(1);
    QTest::addRow("exponent") << QByteArray("1e2") << true << qint64(100);
    QTest::addRow("exponent with a fraction part") << QByteArray("2.5E1") << true << qint64(25);
    QTest::addRow("negative zero") << QByteArray("-0.0") << true << qint64(0);
    QTest::addRow("largest") << QByteArray("9223372036854775807") << true << std::numeric_limits<qint64>::max();
    QTest::addRow("smallest") << QByteArray("-9223372036854775808") << true << std::numeric_limits<qint64>::min();
    QTest::addRow("-2^63 as a double") << QByteArray("-9.223372036854775808e18") << true
                                       << std::numeric_limits<qint64>::min();
    QTest::addRow("fraction") << QByteArray("1.5") << false << qint64(0);
    QTest::addRow("small fraction") << QByteArray("1e-2") << false << qint64(0);
    QTest::addRow("2^63") << QByteArray("9223372036854775808") << false << qint64(0);
    QTest::addRow("2^63 as a double") << QByteArray("9.223372036854775808e18") << false << qint64(0);
    QTest::addRow("beyond 64 bits") << QByteArray("1e30") << false << qint64(0);
    QTest::addRow("exponent with a sign") << QByteArray("1e+2") << true << qint64(100);
    QTest::addRow("negative exponent that lands on an integer") << QByteArray("100e-2") << true << qint64(1);
    QTest::addRow("2^63 - 1 with a fraction part rounds to 2^63")
        << QByteArray("9223372036854775807.0") << false << qint64(0);
    QTest::addRow("largest unsigned 64-bit") << QByteArray("18446744073709551615") << false << qint64(0);
    QTest::addRow("2^64") << QByteArray("18446744073709551616") << false << qint64(0);
    QTest::addRow("-2^63 - 1") << QByteArray("-9223372036854775809") << false << qint64(0);
    QTest::addRow("beyond 64 bits, written as an integer")
        << QByteArray("123456789012345678901234567890") << false << qint64(0);
    QTest::addRow("beyond a double") << QByteArray("1e400") << false << qint64(0);
    QTest::addRow("beyond a double, negative") << QByteArray("-1e400") << false << qint64(0);
    QTest::addRow("string") << QByteArray("\"1\"") << false << qint64(0);
    QTest::addRow("boolean") << QByteArray("true") << false << qint64(0);
    QTest::addRow("array") << QByteArray("[1]") << false << qint64(0);
}

void TestRecords::integerRule()
{
    QFETCH(QByteArray, number);
    QFETCH(bool, accepted);
    QFETCH(qint64, value);

    // A required integer (protocol) and an optional one (age_seconds) follow
    // the same rule.
    QString error;
    const auto info = Json::decodeDocument<CLIInfo>(
        R"({"version":"1","capabilities":[],"protocol":)" + number + "}", &CLIInfo::fromJson, &error);
    QCOMPARE(info.has_value(), accepted);
    if (accepted)
        QCOMPARE(info->protocolNumber, value);
    else
        QVERIFY2(error.startsWith(u"protocol: "_qs), qPrintable(error));

    const auto index = Json::decodeDocument<IndexStatus>(
        R"({"path":"/i","exists":true,"age_seconds":)" + number + "}", &IndexStatus::fromJson, &error);
    QCOMPARE(index.has_value(), accepted);
    if (accepted)
        QCOMPARE(index->ageSeconds, std::optional<qint64>(value));
}

// --- Bytes to text: one rule for everything zelk prints --------------------

void TestRecords::utf8Text_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::addRow("ASCII") << QByteArray("jq 1.7") << u"jq 1.7"_qs;
    QTest::addRow("two-, three- and four-byte sequences")
        << QByteArray("\xc3\xa9 \xe5\xb7\xa5 \xf0\x9f\x98\x80") << u"\u00e9 \u5de5 \U0001F600"_qs;
    QTest::addRow("the edges of the well-formed ranges")
        << QByteArray("\xc2\x80\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xee\x80\x80\xf0\x90\x80\x80\xf4\x8f\xbf\xbf")
        << u"\u0080\u07ff\u0800\ud7ff\ue000\U00010000\U0010FFFF"_qs;
    QTest::addRow("noncharacters are characters") << QByteArray("\xef\xbf\xbe\xef\xbf\xbf") << u"\ufffe\uffff"_qs;
    QTest::addRow("NUL is kept") << QByteArray("a\0b", 3) << QStringView(u"a\0b", 3).toString();

    // One U+FFFD for each maximal subpart of an ill-formed sequence.
    QTest::addRow("truncated two-byte sequence at the end") << QByteArray("ab\xc3") << u"ab\ufffd"_qs;
    QTest::addRow("truncated two-byte sequence before ASCII") << QByteArray("\xc3(") << u"\ufffd("_qs;
    QTest::addRow("truncated three-byte sequence before ASCII") << QByteArray("\xe2\x82" "A") << u"\ufffdA"_qs;
    QTest::addRow("truncated three-byte sequence at the end") << QByteArray("\xe5\xb7") << u"\ufffd"_qs;
    QTest::addRow("truncated four-byte sequence before ASCII") << QByteArray("\xf0\x9f\x98x") << u"\ufffdx"_qs;
    QTest::addRow("truncated sequence before a whole one")
        << QByteArray("\xe5\xb7\xe5\xb7\xa5") << u"\ufffd\u5de5"_qs;
    QTest::addRow("two truncated sequences in a row") << QByteArray("\xe5\xb7\xc3") << u"\ufffd\ufffd"_qs;
    QTest::addRow("lone continuation byte") << QByteArray("a\x80z") << u"a\ufffdz"_qs;
    QTest::addRow("run of continuation bytes") << QByteArray("\x80\xbf\x80") << u"\ufffd\ufffd\ufffd"_qs;
    QTest::addRow("overlong two-byte encoding of '/'") << QByteArray("\xc0\xaf") << u"\ufffd\ufffd"_qs;
    QTest::addRow("overlong three-byte encoding") << QByteArray("\xe0\x80\xaf") << u"\ufffd\ufffd\ufffd"_qs;
    QTest::addRow("overlong four-byte encoding")
        << QByteArray("\xf0\x80\x80\xaf") << u"\ufffd\ufffd\ufffd\ufffd"_qs;
    QTest::addRow("surrogate encoded in UTF-8") << QByteArray("\xed\xa0\x80") << u"\ufffd\ufffd\ufffd"_qs;
    QTest::addRow("surrogate pair encoded in UTF-8")
        << QByteArray("\xed\xa0\xbd\xed\xb8\x80") << QString(6, QChar(0xFFFD));
    QTest::addRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << QString(4, QChar(0xFFFD));
    QTest::addRow("bytes that never occur") << QByteArray("\xf5\xfe\xff") << QString(3, QChar(0xFFFD));

    // A byte-order mark is text, wherever it stands and however many.
    QTest::addRow("leading U+FEFF") << QByteArray("\xef\xbb\xbfjq") << u"\ufeffjq"_qs;
    QTest::addRow("two leading U+FEFF") << QByteArray("\xef\xbb\xbf\xef\xbb\xbf") << u"\ufeff\ufeff"_qs;
    QTest::addRow("leading U+FEFF, then invalid UTF-8") << QByteArray("\xef\xbb\xbf\xff") << u"\ufeff\ufffd"_qs;
    QTest::addRow("U+FEFF inside") << QByteArray("a\xef\xbb\xbf") << u"a\ufeff"_qs;
    QTest::addRow("truncated byte-order mark") << QByteArray("\xef\xbb" "a") << u"\ufffda"_qs;
    QTest::addRow("empty") << QByteArray() << QString();
}

void TestRecords::utf8Text()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Utf8::text(bytes), text);
    // The repair kept as bytes is the same text; valid input is untouched.
    const QByteArray repaired = Utf8::repaired(bytes);
    QVERIFY(Utf8::isValid(repaired));
    QCOMPARE(Utf8::text(repaired), text);
    if (Utf8::isValid(bytes)) {
        QCOMPARE(repaired, bytes);
        QCOMPARE(Utf8::textOfValid(bytes), text);
    }
}

// --- JSON the platform's decoder reads in its own way ----------------------

void TestRecords::jsonEdgeCases_data()
{
    // Every document is a version record; "" as the error means it decodes,
    // with the version and protocol given. A failure text is compared up to
    // its length (the parser's own wording follows "invalid JSON").
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("version");
    QTest::addColumn<qint64>("protocol");

    const QByteArray rest = R"("protocol":1,"capabilities":[])";
    const QByteArray ok = "{\"version\":\"1\"," + rest + "}";
    const QString invalid = u"invalid JSON ("_qs;
    const auto nested = [](int depth) {
        return "{\"version\":\"1\",\"protocol\":1,\"capabilities\":[],\"x\":" + QByteArray(depth, '[')
            + QByteArray(depth, ']') + "}";
    };
    QByteArray wide = "{";
    for (int i = 0; i < 40; ++i)
        wide += "\"k" + QByteArray::number(i) + "\":" + QByteArray::number(i) + ",";
    wide += "\"version\":\"a\"," + rest + ",\"version\":\"b\"}";

    // Duplicate keys: the last occurrence wins, for better or worse.
    QTest::addRow("duplicate key: the last wins")
        << QByteArray("{\"version\":\"a\"," + rest + ",\"version\":\"b\"}") << QString() << u"b"_qs << qint64(1);
    QTest::addRow("duplicate key: a bad first value is overridden")
        << QByteArray(R"({"protocol":"one","version":"1","capabilities":[],"protocol":2})") << QString() << u"1"_qs
        << qint64(2);
    QTest::addRow("duplicate key: a bad last value fails")
        << QByteArray(R"({"protocol":2,"version":"1","capabilities":[],"protocol":"two"})")
        << u"protocol: expected an integer, found a string"_qs << QString() << qint64(0);
    QTest::addRow("duplicate key: a last null fails a required key")
        << QByteArray("{\"version\":\"1\"," + rest + ",\"version\":null}") << u"version: expected a string, found null"_qs
        << QString() << qint64(0);
    QTest::addRow("duplicate key in an object of more than 32 members") << wide << QString() << u"b"_qs << qint64(1);

    // Key names are compared after their escapes are read.
    QTest::addRow("escaped key names")
        << QByteArray(R"({"\u0076ersion":"1","pr\u006ftocol":3,"capabilities":[]})") << QString() << u"1"_qs
        << qint64(3);
    QTest::addRow("a key with an escaped NUL is another key")
        << QByteArray("{\"version\\u0000\":\"1\"," + rest + "}") << u"version: missing key"_qs << QString()
        << qint64(0);

    // Invalid UTF-8 is repaired to U+FFFD before parsing.
    QTest::addRow("invalid byte in a string")
        << QByteArray("{\"version\":\"1\xff\"," + rest + "}") << QString() << u"1\uFFFD"_qs << qint64(1);
    // One U+FFFD for each maximal subpart of an ill-formed sequence.
    QTest::addRow("truncated three-byte sequence at the end of a string")
        << QByteArray("{\"version\":\"\xe5\xb7\"," + rest + "}") << QString() << u"\uFFFD"_qs << qint64(1);
    QTest::addRow("truncated two-byte sequence in a string")
        << QByteArray("{\"version\":\"1\xc3.2\"," + rest + "}") << QString() << u"1\uFFFD.2"_qs << qint64(1);
    QTest::addRow("truncated four-byte sequence in a string")
        << QByteArray("{\"version\":\"\xf0\x9f\x98x\"," + rest + "}") << QString() << u"\uFFFDx"_qs << qint64(1);
    QTest::addRow("lone continuation byte in a string")
        << QByteArray("{\"version\":\"\x80" "1\"," + rest + "}") << QString() << u"\uFFFD1"_qs << qint64(1);
    QTest::addRow("overlong encoding in a string")
        << QByteArray("{\"version\":\"\xc0\xaf\"," + rest + "}") << QString() << u"\uFFFD\uFFFD"_qs << qint64(1);
    QTest::addRow("UTF-8 encoded surrogate")
        << QByteArray("{\"version\":\"\xed\xa0\x80\"," + rest + "}") << QString() << u"\uFFFD\uFFFD\uFFFD"_qs
        << qint64(1);
    QTest::addRow("invalid byte in a key")
        << QByteArray("{\"versi\xffon\":\"1\"," + rest + "}") << u"version: missing key"_qs << QString() << qint64(0);
    QTest::addRow("invalid byte in an ignored member")
        << QByteArray("{\"version\":\"1\"," + rest + ",\"note\":\"\xc0\xaf\"}") << QString() << u"1"_qs << qint64(1);
    QTest::addRow("invalid byte outside any string") << QByteArray("\xff" + ok) << invalid << QString() << qint64(0);

    // Escaped surrogates must pair up.
    QTest::addRow("surrogate pair")
        << QByteArray("{\"version\":\"\\ud83d\\ude00\"," + rest + "}") << QString() << u"\U0001F600"_qs << qint64(1);
    QTest::addRow("lone high surrogate")
        << QByteArray("{\"version\":\"\\ud800\"," + rest + "}") << invalid << QString() << qint64(0);
    QTest::addRow("lone low surrogate")
        << QByteArray("{\"version\":\"\\udc00\"," + rest + "}") << invalid << QString() << qint64(0);

    // Nesting is limited by the parser, wherever it is.
    QTest::addRow("500 levels in an ignored member") << nested(500) << QString() << u"1"_qs << qint64(1);
    QTest::addRow("2000 levels in an ignored member") << nested(2000) << invalid << QString() << qint64(0);
    QTest::addRow("100000 open arrays") << QByteArray(100000, '[') << invalid << QString() << qint64(0);

    // Exactly one document, white space around it allowed.
    QTest::addRow("text after the document") << QByteArray(ok + " x") << invalid << QString() << qint64(0);
    QTest::addRow("a second document") << QByteArray(ok + ok) << invalid << QString() << qint64(0);
    QTest::addRow("a trailing comma") << QByteArray(ok + ",") << invalid << QString() << qint64(0);
    QTest::addRow("a NUL byte after the document")
        << QByteArray(ok + QByteArray(1, '\0')) << invalid << QString() << qint64(0);

    // A byte-order mark is skipped at the very start, and only there.
    QTest::addRow("byte-order mark") << QByteArray("\xef\xbb\xbf" + ok) << QString() << u"1"_qs << qint64(1);
    QTest::addRow("byte-order mark, then invalid UTF-8")
        << QByteArray("\xef\xbb\xbf{\"version\":\"\xff\"," + rest + "}") << QString() << u"\uFFFD"_qs << qint64(1);
    QTest::addRow("byte-order mark after white space")
        << QByteArray(" \xef\xbb\xbf" + ok) << invalid << QString() << qint64(0);
    QTest::addRow("two byte-order marks") << QByteArray("\xef\xbb\xbf\xef\xbb\xbf" + ok) << invalid << QString()
                                          << qint64(0);
    QTest::addRow("two byte-order marks, then invalid UTF-8")
        << QByteArray("\xef\xbb\xbf\xef\xbb\xbf{\"version\":\"\xff\"," + rest + "}") << invalid << QString()
        << qint64(0);
    // Inside a string value it is text, written out or escaped.
    QTest::addRow("U+FEFF at the start of a string")
        << QByteArray("{\"version\":\"\xef\xbb\xbfjq\"," + rest + "}") << QString() << u"\uFEFFjq"_qs << qint64(1);
    QTest::addRow("escaped U+FEFF at the start of a string")
        << QByteArray("{\"version\":\"\\ufeffjq\"," + rest + "}") << QString() << u"\uFEFFjq"_qs << qint64(1);
    QTest::addRow("U+FEFF at the start of a string, invalid UTF-8 elsewhere")
        << QByteArray("\xef\xbb\xbf{\"version\":\"\xef\xbb\xbf\xff\"," + rest + "}") << QString()
        << u"\uFEFF\uFFFD"_qs << qint64(1);
    QTest::addRow("only a byte-order mark")
        << QByteArray("\xef\xbb\xbf\n") << u"the output is empty"_qs << QString() << qint64(0);

    // NUL: raw, it is a control character; escaped, it is text.
    QTest::addRow("raw NUL inside a string")
        << QByteArray("{\"version\":\"a" + QByteArray(1, '\0') + "b\"," + rest + "}") << invalid << QString()
        << qint64(0);
    QTest::addRow("raw NUL before the document")
        << QByteArray(QByteArray(1, '\0') + ok) << invalid << QString() << qint64(0);
    QTest::addRow("escaped NUL inside a string")
        << QByteArray("{\"version\":\"a\\u0000b\"," + rest + "}") << QString() << QStringView(u"a\0b", 3).toString() << qint64(1);

    // Numbers simdjson cannot hold are read where ReveZE ignores them, and
    // fail where a record field holds them.
    QTest::addRow("integer beyond 64 bits in an ignored member")
        << QByteArray("{\"version\":\"1\"," + rest + ",\"total\":123456789012345678901234567890}") << QString()
        << u"1"_qs << qint64(1);
    QTest::addRow("numbers beyond a double in an ignored member")
        << QByteArray("{\"version\":\"1\"," + rest + ",\"x\":{\"a\":[1e400,-1e400,18446744073709551616]}}")
        << QString() << u"1"_qs << qint64(1);
    QTest::addRow("integer beyond 64 bits where a string belongs")
        << QByteArray("{\"version\":123456789012345678901234567890," + rest + "}")
        << u"version: expected a string, found a number"_qs << QString() << qint64(0);
    QTest::addRow("integer beyond 64 bits in a list of strings")
        << QByteArray(R"({"version":"1","protocol":1,"capabilities":["a",-99999999999999999999]})")
        << u"capabilities[1]: expected a string, found a number"_qs << QString() << qint64(0);
    QTest::addRow("numbers inside strings are text")
        << QByteArray(R"({"version":"\"123456789012345678901234567890\\","protocol":1,"capabilities":[],"x":1e400})")
        << QString() << u"\"123456789012345678901234567890\\"_qs << qint64(1);
    QTest::addRow("a malformed number still fails beside a huge one")
        << QByteArray("{\"version\":\"1\"," + rest + ",\"x\":[01,1e400]}") << invalid << QString() << qint64(0);
    QTest::addRow("a lone minus still fails beside a huge one")
        << QByteArray("{\"version\":\"1\"," + rest + ",\"x\":[-,1e400]}") << invalid << QString() << qint64(0);
}

void TestRecords::jsonEdgeCases()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, error);
    QFETCH(QString, version);
    QFETCH(qint64, protocol);

    QString failure;
    const std::optional<CLIInfo> info = Json::decodeDocument<CLIInfo>(document, &CLIInfo::fromJson, &failure);
    if (error.isEmpty()) {
        QVERIFY2(info, qPrintable(failure));
        QCOMPARE(info->version, version);
        QCOMPARE(info->protocolNumber, protocol);
    } else {
        QVERIFY(!info);
        QVERIFY2(failure.startsWith(error), qPrintable(failure));
    }
}

// --- CLIInfo ----------------------------------------------------------------

void TestRecords::cliInfoDecodes()
{
    const CLIInfo minimal = decoded<CLIInfo>(
        R"({"version":"1.4.0","protocol":1,"capabilities":["json-progress","status"],"base_dir":null})",
        &CLIInfo::fromJson);
    QCOMPARE(minimal.version, u"1.4.0"_qs);
    QCOMPARE(minimal.protocolNumber, 1);
    QCOMPARE(minimal.platform, std::nullopt);
    QCOMPARE(minimal.baseDir, std::nullopt);

    const CLIInfo full = decoded<CLIInfo>(
        R"({"version":"2","protocol":1,"capabilities":[],"platform":"linux-x86_64","base_dir":"/opt/rurirud"})",
        &CLIInfo::fromJson);
    QCOMPARE(full.platform, std::optional<QString>(u"linux-x86_64"_qs));
    QCOMPARE(full.baseDir, std::optional<QString>(u"/opt/rurirud"_qs));
}

void TestRecords::cliInfoCompatibility_data()
{
    QTest::addColumn<qint64>("protocol");
    QTest::addColumn<QStringList>("capabilities");
    QTest::addColumn<bool>("tooNew");
    QTest::addColumn<QStringList>("missing");

    const QStringList both{u"json-progress"_qs, u"status"_qs};
    QTest::addRow("current, complete") << qint64(1) << both << false << QStringList();
    QTest::addRow("protocol 2 is too new") << qint64(2) << both << true << QStringList();
    QTest::addRow("protocol 0 is not too new") << qint64(0) << both << false << QStringList();
    QTest::addRow("lacks json-progress") << qint64(1) << QStringList{u"status"_qs} << false
                                         << QStringList{u"json-progress"_qs};
    QTest::addRow("none, in required order") << qint64(1) << QStringList() << false << both;
    QTest::addRow("listed in the other order, duplicates and extras")
        << qint64(1) << QStringList{u"status"_qs, u"extra"_qs, u"status"_qs, u"json-progress"_qs} << false
        << QStringList();
    QTest::addRow("a capability in another case does not count")
        << qint64(1) << QStringList{u"json-progress"_qs, u"Status"_qs} << false << QStringList{u"status"_qs};
}

void TestRecords::cliInfoCompatibility()
{
    QFETCH(qint64, protocol);
    QFETCH(QStringList, capabilities);
    QFETCH(bool, tooNew);
    QFETCH(QStringList, missing);

    CLIInfo info;
    info.protocolNumber = protocol;
    info.capabilities = capabilities;
    QCOMPARE(info.isTooNew(), tooNew);
    QCOMPARE(info.missingRequiredCapabilities(), missing);
    for (const QString &name : CLIInfo::requiredCapabilities())
        QCOMPARE(info.supports(name), !missing.contains(name));
}

// --- Install status ---------------------------------------------------------

void TestRecords::installStatusDecodes()
{
    QJsonObject dep = detailObject(u"libz"_qs);
    dep[u"kind"_qs] = u"dep"_qs;
    dep[u"size_bytes"_qs] = 5e9; // beyond 32 bits
    const InstallStatus status =
        decoded<InstallStatus>(statusDocument(QJsonArray{detailObject(u"tool"_qs), dep}), &InstallStatus::fromJson);

    QCOMPARE(status.baseDir, u"/opt/rurirud"_qs);
    QCOMPARE(status.packages.size(), 2);
    const InstalledDetail &tool = status.packages.at(0);
    QCOMPARE(tool.name, u"tool"_qs);
    QCOMPARE(tool.version, u"1.0"_qs);
    QCOMPARE(tool.versions, QStringList{u"1.0"_qs});
    QCOMPARE(tool.kind, InstalledDetail::Kind::Package);
    QVERIFY(tool.requested);
    QCOMPARE(tool.installedAt, std::optional<QString>(u"2024-03-09T08:15:00Z"_qs));
    QCOMPARE(tool.arch, std::optional<QString>(u"arm64"_qs));
    QVERIFY(!tool.tree);
    QVERIFY(tool.linked);
    QCOMPARE(tool.linkedVersion, std::optional<QString>(u"1.0"_qs));
    QCOMPARE(tool.commands, QStringList{u"tool"_qs});
    QCOMPARE(tool.deps, QStringList());
    QCOMPARE(tool.path, u"/opt/rurirud/pkgs/tool"_qs);
    QCOMPARE(tool.sizeBytes, 4096);
    QCOMPARE(tool.file, u"tool.tar.zst"_qs);
    QCOMPARE(tool.sha256, u"ab12"_qs);
    QCOMPARE(tool.source, u"main"_qs);
    QCOMPARE(tool.installedBy, std::optional<QString>(u"zelk 1.0"_qs));
    QCOMPARE(tool.installedByUser, std::optional<QString>(u"alice"_qs));
    QVERIFY(tool.isRemovable());
    QCOMPARE(tool.id(), u"tool"_qs);

    QCOMPARE(status.packages.at(1).kind, InstalledDetail::Kind::Dependency);
    QVERIFY(!status.packages.at(1).isRemovable());
    QCOMPARE(status.packages.at(1).sizeBytes, qint64(5000000000));
}

void TestRecords::optionalNullOrMissing()
{
    // Missing and null optional keys both give no value; an empty list or
    // text only comes from the document itself.
    QJsonObject bare = detailObject(u"a"_qs);
    for (const QString &key : {u"installed_at"_qs, u"arch"_qs, u"linked_version"_qs})
        bare.remove(key);
    for (const QString &key : {u"installed_by"_qs, u"installed_by_user"_qs})
        bare[key] = QJsonValue::Null;
    const InstalledDetail detail =
        decoded<InstallStatus>(statusDocument(QJsonArray{bare}), &InstallStatus::fromJson).packages.at(0);
    QCOMPARE(detail.installedAt, std::nullopt);
    QCOMPARE(detail.arch, std::nullopt);
    QCOMPARE(detail.linkedVersion, std::nullopt);
    QCOMPARE(detail.installedBy, std::nullopt);
    QCOMPARE(detail.installedByUser, std::nullopt);

    const auto info = [](const QByteArray &deps) {
        return decoded<PackageInfo>(R"({"name":"a","installed":[],"available":[])" + deps + "}",
                                    &PackageInfo::fromJson);
    };
    QCOMPARE(info("").deps, std::nullopt);
    QCOMPARE(info(R"(,"deps":null)").deps, std::nullopt);
    QCOMPARE(info(R"(,"deps":[])").deps, std::optional<QStringList>(QStringList()));
    QCOMPARE(info(R"(,"deps":["b@1"])").deps, std::optional<QStringList>(QStringList{u"b@1"_qs}));
    QCOMPARE(info(R"(,"bin_name":"")").binName, std::optional<QString>(QString(u""_qs)));

    const IndexStatus index = decoded<IndexStatus>(R"({"path":"/i","exists":true})", &IndexStatus::fromJson);
    QCOMPARE(index.ageSeconds, std::nullopt);
    QCOMPARE(index.fresh, std::nullopt);
    QCOMPARE(index.maxAgeSeconds, std::nullopt);
    QCOMPARE(index.schema, std::nullopt);
    QCOMPARE(index.generatedAt, std::nullopt);
    QCOMPARE(index.indexCommit, std::nullopt);
    QCOMPARE(index.packages, std::nullopt);
    const IndexStatus fullIndex = decoded<IndexStatus>(
        R"({"path":"/i","exists":true,"age_seconds":30,"fresh":false,"max_age_seconds":86400,"schema":2,)"
        R"("generated_at":"yesterday","index_commit":"abc","packages":12})",
        &IndexStatus::fromJson);
    QCOMPARE(fullIndex.ageSeconds, std::optional<qint64>(30));
    QCOMPARE(fullIndex.fresh, std::optional<bool>(false));
    QCOMPARE(fullIndex.maxAgeSeconds, std::optional<qint64>(86400));
    QCOMPARE(fullIndex.schema, std::optional<qint64>(2));
    QCOMPARE(fullIndex.generatedAt, std::optional<QString>(u"yesterday"_qs));
    QCOMPARE(fullIndex.indexCommit, std::optional<QString>(u"abc"_qs));
    QCOMPARE(fullIndex.packages, std::optional<qint64>(12));

    const MirrorConfig mirrors = decoded<MirrorConfig>(
        R"({"mirrors":[{"name":"main","source":"default"},)"
        R"({"name":"corp","env":"ZELK_MIRROR","source":"env","requires_auth":true,"user":"bob","value":"https://bob:***@m"}]})",
        &MirrorConfig::fromJson);
    QCOMPARE(mirrors.mirrors.size(), 2);
    QCOMPARE(mirrors.mirrors.at(0), (MirrorEntry{u"main"_qs, std::nullopt, u"default"_qs, std::nullopt,
                                                 std::nullopt, std::nullopt}));
    QCOMPARE(mirrors.mirrors.at(1), (MirrorEntry{u"corp"_qs, u"ZELK_MIRROR"_qs, u"env"_qs, true, u"bob"_qs,
                                                 u"https://bob:***@m"_qs}));
}

void TestRecords::kinds_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("expected"); // -1 = the document fails; else 0 package, 1 dependency

    QTest::addRow("status pkg") << u"status"_qs << u"pkg"_qs << 0;
    QTest::addRow("status dep") << u"status"_qs << u"dep"_qs << 1;
    QTest::addRow("status deps") << u"status"_qs << u"deps"_qs << -1;
    QTest::addRow("status PKG") << u"status"_qs << u"PKG"_qs << -1;
    QTest::addRow("status empty") << u"status"_qs << u""_qs << -1;
    QTest::addRow("catalog pkg") << u"catalog"_qs << u"pkg"_qs << 0;
    QTest::addRow("catalog deps") << u"catalog"_qs << u"deps"_qs << 1;
    QTest::addRow("catalog dep") << u"catalog"_qs << u"dep"_qs << -1;
    QTest::addRow("catalog package") << u"catalog"_qs << u"package"_qs << -1;
}

void TestRecords::kinds()
{
    QFETCH(QString, record);
    QFETCH(QString, kind);
    QFETCH(int, expected);

    QString error;
    int got = -1;
    if (record == u"status") {
        QJsonObject package = detailObject(u"a"_qs);
        package[u"kind"_qs] = kind;
        const auto status =
            Json::decodeDocument<InstallStatus>(statusDocument(QJsonArray{package}), &InstallStatus::fromJson, &error);
        if (status)
            got = status->packages.at(0).kind == InstalledDetail::Kind::Package ? 0 : 1;
    } else {
        const QJsonObject entry{{u"name"_qs, u"a"_qs}, {u"kind"_qs, kind}, {u"versions"_qs, QJsonArray{}}};
        const auto catalog = Json::decodeDocument<CatalogDocument>(
            toJson(QJsonObject{{u"packages"_qs, QJsonArray{entry}}}), &CatalogDocument::fromJson, &error);
        if (catalog)
            got = catalog->packages.at(0).kind == CatalogPackage::Kind::Package ? 0 : 1;
    }
    QCOMPARE(got, expected);
    if (expected < 0)
        QCOMPARE(error, u"packages[0].kind: unexpected value \"%1\""_qs.arg(kind));
}

void TestRecords::packageNamed()
{
    InstallStatus status;
    InstalledDetail first = detailWithDeps(u"twin"_qs, {});
    first.version = u"1"_qs;
    InstalledDetail second = first;
    second.version = u"2"_qs;
    status.packages = {detailWithDeps(u"other"_qs, {}), first, second};

    const InstalledDetail *found = status.package(u"twin"_qs);
    QVERIFY(found);
    QCOMPARE(found->version, u"1"_qs);
    QCOMPARE(status.package(u"Twin"_qs), nullptr);
    QCOMPARE(status.package(u"twi"_qs), nullptr);
    QCOMPARE(InstallStatus().package(u"twin"_qs), nullptr);
}

void TestRecords::dependents_data()
{
    // Each package as "name:dep1,dep2" (no deps: "name:").
    QTest::addColumn<QStringList>("packages");
    QTest::addColumn<QString>("of");
    QTest::addColumn<QStringList>("expected");

    QTest::addRow("versioned and bare entries, sorted")
        << QStringList{u"Z:c"_qs, u"A:c@1.0"_qs, u"B:c"_qs} << u"c"_qs << QStringList{u"A"_qs, u"B"_qs, u"Z"_qs};
    QTest::addRow("code-point order puts Zed before abc")
        << QStringList{u"abc:x"_qs, u"Zed:x"_qs} << u"x"_qs << QStringList{u"Zed"_qs, u"abc"_qs};
    QTest::addRow("code-point order beyond the BMP")
        << QStringList{u"\U0001F600:x"_qs, u"\uFF21:x"_qs} << u"x"_qs << QStringList{u"\uFF21"_qs, u"\U0001F600"_qs};
    QTest::addRow("two entries for one package are listed twice")
        << QStringList{u"p:c@1,c@2"_qs} << u"c"_qs << QStringList{u"p"_qs, u"p"_qs};
    QTest::addRow("nobody depends on it") << QStringList{u"p:c"_qs} << u"d"_qs << QStringList();
    QTest::addRow("no packages") << QStringList() << u"c"_qs << QStringList();
    QTest::addRow("a version part is not a name") << QStringList{u"p:c@1.0"_qs} << u"1.0"_qs << QStringList();
    QTest::addRow("only the first @ splits") << QStringList{u"p:a@b@c"_qs} << u"a"_qs << QStringList{u"p"_qs};
    QTest::addRow("leading @ is skipped") << QStringList{u"p:@x@1"_qs} << u"x"_qs << QStringList{u"p"_qs};
    QTest::addRow("names compare exactly") << QStringList{u"p:C"_qs, u"q:c "_qs} << u"c"_qs << QStringList();
}

void TestRecords::dependents()
{
    QFETCH(QStringList, packages);
    QFETCH(QString, of);
    QFETCH(QStringList, expected);

    InstallStatus status;
    for (const QString &spec : packages) {
        const qsizetype colon = spec.indexOf(u':');
        const QString deps = spec.mid(colon + 1);
        status.packages.append(
            detailWithDeps(spec.left(colon), deps.isEmpty() ? QStringList() : deps.split(u',')));
    }
    QCOMPARE(status.dependents(of), expected);
    // The map holds the same names, in document order.
    QStringList fromMap = status.dependents().value(of);
    QCOMPARE(fromMap.size(), expected.size());
    for (const QString &name : expected)
        QVERIFY(fromMap.removeOne(name));
}

void TestRecords::dependentsMapFiling()
{
    InstallStatus status;
    status.packages = {detailWithDeps(u"p"_qs, {u""_qs, u"@"_qs, u"@@"_qs, u"lib@1"_qs}),
                       detailWithDeps(u"q"_qs, {u"lib"_qs, u""_qs})};
    const QHash<QString, QStringList> map = status.dependents();
    // Entries without any name are filed under themselves.
    QCOMPARE(map.value(QString()), (QStringList{u"p"_qs, u"q"_qs}));
    QCOMPARE(map.value(u"@"_qs), QStringList{u"p"_qs});
    QCOMPARE(map.value(u"@@"_qs), QStringList{u"p"_qs});
    QCOMPARE(map.value(u"lib"_qs), (QStringList{u"p"_qs, u"q"_qs}));
    QCOMPARE(map.size(), 4);
    QCOMPARE(status.dependents(QString()), (QStringList{u"p"_qs, u"q"_qs}));
    QCOMPARE(status.dependents(u"@"_qs), QStringList{u"p"_qs});
}

// --- Install time -----------------------------------------------------------

void TestRecords::internetDateTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("utc"); // ISO text of the instant in UTC, "" = no value

    QTest::addRow("Z") << u"2024-03-09T08:15:00Z"_qs << u"2024-03-09T08:15:00Z"_qs;
    QTest::addRow("positive offset, same instant") << u"2024-03-09T16:15:00+08:00"_qs << u"2024-03-09T08:15:00Z"_qs;
    QTest::addRow("negative offset across midnight") << u"2024-03-08T23:45:00-08:30"_qs
                                                     << u"2024-03-09T08:15:00Z"_qs;
    QTest::addRow("-00:00 is UTC") << u"2024-03-09T08:15:00-00:00"_qs << u"2024-03-09T08:15:00Z"_qs;
    QTest::addRow("largest offset") << u"2024-01-01T00:00:00+23:59"_qs << u"2023-12-31T00:01:00Z"_qs;
    QTest::addRow("leap day") << u"2024-02-29T12:00:00Z"_qs << u"2024-02-29T12:00:00Z"_qs;
    QTest::addRow("leap day of a 400-year") << u"2000-02-29T00:00:00Z"_qs << u"2000-02-29T00:00:00Z"_qs;
    QTest::addRow("last second of a day") << u"1999-12-31T23:59:59Z"_qs << u"1999-12-31T23:59:59Z"_qs;
    QTest::addRow("year one") << u"0001-01-01T00:00:00Z"_qs << u"0001-01-01T00:00:00Z"_qs;

    QTest::addRow("blank instead of T, no zone") << u"2024-03-09 08:15:00"_qs << QString();
    QTest::addRow("blank instead of T") << u"2024-03-09 08:15:00Z"_qs << QString();
    QTest::addRow("fractional seconds") << u"2024-03-09T08:15:00.250Z"_qs << QString();
    QTest::addRow("one fraction digit") << u"2024-05-01T10:00:00.5Z"_qs << QString();
    QTest::addRow("no zone") << u"2024-03-09T08:15:00"_qs << QString();
    QTest::addRow("lowercase t") << u"2024-03-09t08:15:00Z"_qs << QString();
    QTest::addRow("lowercase z") << u"2024-03-09T08:15:00z"_qs << QString();
    QTest::addRow("offset without colon") << u"2024-03-09T08:15:00+0800"_qs << QString();
    QTest::addRow("offset hours only") << u"2024-03-09T08:15:00+08"_qs << QString();
    QTest::addRow("offset hour 24") << u"2024-03-09T08:15:00+24:00"_qs << QString();
    QTest::addRow("offset minute 60") << u"2024-03-09T08:15:00+08:60"_qs << QString();
    QTest::addRow("date only") << u"2024-03-09"_qs << QString();
    QTest::addRow("no seconds") << u"2024-03-09T08:15Z"_qs << QString();
    QTest::addRow("one-digit month") << u"2024-3-09T08:15:00Z"_qs << QString();
    QTest::addRow("leap day of a common year") << u"2023-02-29T00:00:00Z"_qs << QString();
    QTest::addRow("leap day of a century") << u"1900-02-29T00:00:00Z"_qs << QString();
    QTest::addRow("April 31") << u"2024-04-31T00:00:00Z"_qs << QString();
    QTest::addRow("month 0") << u"2024-00-10T00:00:00Z"_qs << QString();
    QTest::addRow("month 13") << u"2024-13-10T00:00:00Z"_qs << QString();
    QTest::addRow("day 0") << u"2024-01-00T00:00:00Z"_qs << QString();
    QTest::addRow("hour 24") << u"2024-01-01T24:00:00Z"_qs << QString();
    QTest::addRow("minute 60") << u"2024-01-01T00:60:00Z"_qs << QString();
    QTest::addRow("leap second 60") << u"2016-12-31T23:59:60Z"_qs << QString();
    QTest::addRow("year 0000") << u"0000-01-01T00:00:00Z"_qs << QString();
    QTest::addRow("non-ASCII digits") << u"202\u0664-03-09T08:15:00Z"_qs << QString();
    QTest::addRow("sign in a field") << u"2024-+3-09T08:15:00Z"_qs << QString();
    QTest::addRow("surrounding blank") << u" 2024-03-09T08:15:00Z"_qs << QString();
    QTest::addRow("trailing text") << u"2024-03-09T08:15:00Zx"_qs << QString();
    QTest::addRow("empty") << QString() << QString();
}

void TestRecords::internetDateTime()
{
    QFETCH(QString, text);
    QFETCH(QString, utc);

    const std::optional<QDateTime> parsed = parseInternetDateTime(text);
    if (utc.isEmpty()) {
        QCOMPARE(parsed, std::nullopt);
        return;
    }
    QVERIFY(parsed);
    QVERIFY(parsed->isValid());
    QCOMPARE(parsed->timeSpec(), Qt::UTC);
    QCOMPARE(parsed->toString(Qt::ISODate), utc);
}

void TestRecords::installedDate()
{
    InstalledDetail detail;
    QCOMPARE(detail.installedDate(), std::nullopt);
    detail.installedAt = u"2024-03-09T16:15:00+08:00"_qs;
    QCOMPARE(detail.installedDate(), std::optional<QDateTime>(QDateTime(QDate(2024, 3, 9), QTime(8, 15), Qt::UTC)));
    detail.installedAt = u"2024-03-09T08:15:00.250Z"_qs;
    QCOMPARE(detail.installedDate(), std::nullopt);
}

// --- Derived flags ----------------------------------------------------------

void TestRecords::linkIsStale_data()
{
    QTest::addColumn<bool>("linked");
    QTest::addColumn<QString>("linkedVersion"); // "-" = no value
    QTest::addColumn<bool>("stale");

    QTest::addRow("not linked, no linked version") << false << u"-"_qs << false;
    QTest::addRow("not linked, other linked version") << false << u"0.9"_qs << false;
    QTest::addRow("linked to the current version") << true << u"1.0"_qs << false;
    QTest::addRow("linked to another version") << true << u"0.9"_qs << true;
    QTest::addRow("linked without a linked version") << true << u"-"_qs << true;
    QTest::addRow("versions compare as text") << true << u"1.00"_qs << true;
}

void TestRecords::linkIsStale()
{
    QFETCH(bool, linked);
    QFETCH(QString, linkedVersion);
    QFETCH(bool, stale);

    InstalledDetail detail;
    detail.version = u"1.0"_qs;
    detail.linked = linked;
    if (linkedVersion != u"-")
        detail.linkedVersion = linkedVersion;
    QCOMPARE(detail.linkIsStale(), stale);
}

void TestRecords::newest_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("newest"); // "" = no value

    QTest::addRow("none") << QStringList() << QString();
    QTest::addRow("two, the last wins") << QStringList{u"1.0"_qs, u"2.0"_qs} << u"2.0"_qs;
    QTest::addRow("not sorted") << QStringList{u"2.0"_qs, u"1.0"_qs} << u"1.0"_qs;
}

void TestRecords::newest()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, newest);

    const InstalledPackage package(u"a"_qs, installed);
    QCOMPARE(package.newest(), newest.isEmpty() ? std::nullopt : std::optional<QString>(newest));

    const InstalledList list = decoded<InstalledList>(
        toJson(QJsonObject{{u"packages"_qs, QJsonArray{QJsonObject{{u"name"_qs, u"a"_qs},
                                                                    {u"installed"_qs, QJsonArray::fromStringList(installed)}}}}}),
        &InstalledList::fromJson);
    QCOMPARE(list.packages, QList<InstalledPackage>{package});
}

void TestRecords::packageInfoDerived_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QStringList>("available");
    QTest::addColumn<QString>("installedVersion"); // "" = no value
    QTest::addColumn<QString>("availableVersion"); // "" = no value
    QTest::addColumn<bool>("isInstalled");
    QTest::addColumn<bool>("hasUpgrade");

    QTest::addRow("last installed against first available")
        << QStringList{u"1.0"_qs, u"1.2"_qs} << QStringList{u"1.3"_qs, u"1.2"_qs} << u"1.2"_qs << u"1.3"_qs << true
        << true;
    QTest::addRow("only the first available counts")
        << QStringList{u"1.2"_qs} << QStringList{u"1.2"_qs, u"1.3"_qs} << u"1.2"_qs << u"1.2"_qs << true << false;
    QTest::addRow("an older available version also counts")
        << QStringList{u"2.0"_qs} << QStringList{u"1.0"_qs} << u"2.0"_qs << u"1.0"_qs << true << true;
    QTest::addRow("not installed") << QStringList() << QStringList{u"1.0"_qs} << QString() << u"1.0"_qs << false
                                   << false;
    QTest::addRow("nothing available") << QStringList{u"1.0"_qs} << QStringList() << u"1.0"_qs << QString() << true
                                       << false;
    QTest::addRow("neither") << QStringList() << QStringList() << QString() << QString() << false << false;
}

void TestRecords::packageInfoDerived()
{
    QFETCH(QStringList, installed);
    QFETCH(QStringList, available);
    QFETCH(QString, installedVersion);
    QFETCH(QString, availableVersion);
    QFETCH(bool, isInstalled);
    QFETCH(bool, hasUpgrade);

    const auto valueOrNone = [](const QString &text) {
        return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
    };
    PackageInfo info;
    info.name = u"tool"_qs;
    info.installed = installed;
    info.available = available;
    QCOMPARE(info.installedVersion(), valueOrNone(installedVersion));
    QCOMPARE(info.availableVersion(), valueOrNone(availableVersion));
    QCOMPARE(info.isInstalled(), isInstalled);
    QCOMPARE(info.hasUpgrade(), hasUpgrade);

    QCOMPARE(info.displayName(), u"tool"_qs);
    info.binName = u"tl"_qs;
    QCOMPARE(info.displayName(), u"tl"_qs);
}

void TestRecords::outdatedKeepsOrder()
{
    const QList<OutdatedItem> items = decoded<QList<OutdatedItem>>(
        R"([{"name":"z","installed":"1","latest":"2","status":"outdated","linked":"yes"},)"
        R"({"name":"a","installed":"3","latest":"4","status":"pinned","linked":null}])",
        &OutdatedItem::listFromJson);
    QCOMPARE(items, (QList<OutdatedItem>{{u"z"_qs, u"1"_qs, u"2"_qs, u"outdated"_qs, u"yes"_qs},
                                         {u"a"_qs, u"3"_qs, u"4"_qs, u"pinned"_qs, std::nullopt}}));
}

// --- Doctor findings --------------------------------------------------------

void TestRecords::doctorParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<DoctorFinding>>("findings");

    using F = DoctorFinding;
    QTest::addRow("empty") << QString() << QList<F>();
    QTest::addRow("line feeds only") << u"\n\n\n"_qs << QList<F>();
    QTest::addRow("one finding") << u"error\tindex\tstale"_qs << QList<F>{{u"error"_qs, u"index"_qs, u"stale"_qs}};
    QTest::addRow("line feed at the end") << u"warn\tlinks\tbroken\n"_qs
                                          << QList<F>{{u"warn"_qs, u"links"_qs, u"broken"_qs}};
    QTest::addRow("severity trimmed, check and detail kept")
        << u"  error\t index \t stale \t"_qs << QList<F>{{u"error"_qs, u" index "_qs, u" stale \t"_qs}};
    QTest::addRow("severity loses Unicode space separators")
        << u"\u00A0\u3000warn \u2003\tx\ty"_qs << QList<F>{{u"warn"_qs, u"x"_qs, u"y"_qs}};
    QTest::addRow("a leading tab ends an empty severity")
        << u"\twarn\tx\ty"_qs << QList<F>{{QString(), u"warn"_qs, u"x\ty"_qs}};
    QTest::addRow("empty detail") << u"ok\tpath\t"_qs << QList<F>{{u"ok"_qs, u"path"_qs, QString()}};
    QTest::addRow("all fields empty") << u"\t\t"_qs << QList<F>{{QString(), QString(), QString()}};
    QTest::addRow("further tabs stay in the detail")
        << u"a\tb\tc\td"_qs << QList<F>{{u"a"_qs, u"b"_qs, u"c\td"_qs}};
    QTest::addRow("malformed lines skipped, neighbours kept")
        << u"Findings:\nerror\tone\tx\na\tb\n\nwarn\ttwo\ty\nno tabs at all"_qs
        << QList<F>{{u"error"_qs, u"one"_qs, u"x"_qs}, {u"warn"_qs, u"two"_qs, u"y"_qs}};
    // Only line feeds end lines: the carriage return of a CR LF line end is
    // part of the detail, and is not trimmed from the severity either.
    QTest::addRow("CR LF line end stays in the detail")
        << u"error\tindex\tstale\r\nwarn\tx\ty\r\n"_qs
        << QList<F>{{u"error"_qs, u"index"_qs, u"stale\r"_qs}, {u"warn"_qs, u"x"_qs, u"y\r"_qs}};
    QTest::addRow("a lone CR line is skipped") << u"\r\nok\ta\tb"_qs << QList<F>{{u"ok"_qs, u"a"_qs, u"b"_qs}};
    QTest::addRow("CR is not a blank for the severity")
        << u"\rerror\ta\tb"_qs << QList<F>{{u"\rerror"_qs, u"a"_qs, u"b"_qs}};
    QTest::addRow("other line breaks are not trimmed either")
        << u"\u2028error\u0085\ta\tb"_qs << QList<F>{{u"\u2028error\u0085"_qs, u"a"_qs, u"b"_qs}};
    QTest::addRow("duplicates kept")
        << u"warn\tx\ty\nwarn\tx\ty"_qs << QList<F>{{u"warn"_qs, u"x"_qs, u"y"_qs}, {u"warn"_qs, u"x"_qs, u"y"_qs}};
}

void TestRecords::doctorParse()
{
    QFETCH(QString, text);
    QFETCH(QList<DoctorFinding>, findings);

    const QList<DoctorFinding> parsed = DoctorFinding::parse(text);
    QCOMPARE(parsed.size(), findings.size());
    for (qsizetype i = 0; i < parsed.size(); ++i) {
        QCOMPARE(parsed.at(i).severity, findings.at(i).severity);
        QCOMPARE(parsed.at(i).check, findings.at(i).check);
        QCOMPARE(parsed.at(i).detail, findings.at(i).detail);
    }
}

void TestRecords::doctorIsError_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("isError");

    QTest::addRow("error") << u"error\tx\ty"_qs << true;
    QTest::addRow("upper case") << u"ERROR\tx\ty"_qs << true;
    QTest::addRow("mixed case, padded") << u" Error\t\tx\ty"_qs << true;
    QTest::addRow("warn") << u"warn\tx\ty"_qs << false;
    QTest::addRow("errors") << u"errors\tx\ty"_qs << false;
    QTest::addRow("fatal") << u"fatal\tx\ty"_qs << false;
    QTest::addRow("error with CR") << u"error\r\tx\ty"_qs << false;
}

void TestRecords::doctorIsError()
{
    QFETCH(QString, line);
    QFETCH(bool, isError);
    const QList<DoctorFinding> findings = DoctorFinding::parse(line);
    QCOMPARE(findings.size(), 1);
    QCOMPARE(findings.at(0).isError(), isError);
}

void TestRecords::doctorIdentity()
{
    const QList<DoctorFinding> twins = DoctorFinding::parse(u"warn\tlinks\ttwo broken\nwarn\tlinks\ttwo broken\n"_qs);
    QCOMPARE(twins.size(), 2);
    QCOMPARE(twins.at(0), twins.at(1));
    QCOMPARE(twins.at(0).id(), u"warn|links|two broken"_qs);
    QCOMPARE(qHash(twins.at(0)), qHash(twins.at(1)));
    // Fields are not interchangeable.
    QVERIFY(DoctorFinding({u"a"_qs, u"b"_qs, u""_qs}) != DoctorFinding({u"a"_qs, u""_qs, u"b"_qs}));
    QVERIFY(qHash(DoctorFinding{u"a"_qs, u"b"_qs, u""_qs}) != qHash(DoctorFinding{u"a"_qs, u""_qs, u"b"_qs}));
}

// --- Equality and hashing ---------------------------------------------------

using DetailEdit = std::function<void(InstalledDetail &)>;

void TestRecords::detailEqualityCoversEveryField_data()
{
    QTest::addColumn<DetailEdit>("edit");

    QTest::addRow("name") << DetailEdit([](InstalledDetail &d) { d.name += u'x'; });
    QTest::addRow("version") << DetailEdit([](InstalledDetail &d) { d.version += u'x'; });
    QTest::addRow("versions") << DetailEdit([](InstalledDetail &d) { d.versions.append(u"0.9"_qs); });
    QTest::addRow("kind") << DetailEdit([](InstalledDetail &d) { d.kind = InstalledDetail::Kind::Dependency; });
    QTest::addRow("requested") << DetailEdit([](InstalledDetail &d) { d.requested = !d.requested; });
    QTest::addRow("installedAt") << DetailEdit([](InstalledDetail &d) { d.installedAt = u"2024"_qs; });
    QTest::addRow("arch absent vs empty") << DetailEdit([](InstalledDetail &d) { d.arch = QString(); });
    QTest::addRow("tree") << DetailEdit([](InstalledDetail &d) { d.tree = !d.tree; });
    QTest::addRow("linked") << DetailEdit([](InstalledDetail &d) { d.linked = !d.linked; });
    QTest::addRow("linkedVersion") << DetailEdit([](InstalledDetail &d) { d.linkedVersion = std::nullopt; });
    QTest::addRow("commands") << DetailEdit([](InstalledDetail &d) { d.commands.append(u"b"_qs); });
    QTest::addRow("deps order") << DetailEdit([](InstalledDetail &d) { std::swap(d.deps[0], d.deps[1]); });
    QTest::addRow("path") << DetailEdit([](InstalledDetail &d) { d.path += u'/'; });
    QTest::addRow("sizeBytes") << DetailEdit([](InstalledDetail &d) { d.sizeBytes += 1; });
    QTest::addRow("file") << DetailEdit([](InstalledDetail &d) { d.file += u'x'; });
    QTest::addRow("sha256") << DetailEdit([](InstalledDetail &d) { d.sha256 += u'0'; });
    QTest::addRow("source") << DetailEdit([](InstalledDetail &d) { d.source += u'x'; });
    QTest::addRow("installedBy") << DetailEdit([](InstalledDetail &d) { d.installedBy = u"me"_qs; });
    QTest::addRow("installedByUser") << DetailEdit([](InstalledDetail &d) { d.installedByUser = std::nullopt; });
}

void TestRecords::detailEqualityCoversEveryField()
{
    QFETCH(DetailEdit, edit);

    QJsonObject object = detailObject(u"a"_qs);
    object[u"deps"_qs] = QJsonArray{u"x"_qs, u"y"_qs};
    object.remove(u"installed_by"_qs);
    const InstalledDetail original =
        decoded<InstallStatus>(statusDocument(QJsonArray{object}), &InstallStatus::fromJson).packages.at(0);
    InstalledDetail changed = original;
    QCOMPARE(changed, original);
    QCOMPARE(qHash(changed), qHash(original));
    edit(changed);
    QVERIFY(!(changed == original));
    QVERIFY(qHash(changed) != qHash(original));
}

void TestRecords::equalRecordsHashEqual()
{
    // Equal values land in one set entry; values differing in one optional
    // (absent vs empty) do not.
    const auto catalog = decoded<CatalogDocument>(
        R"({"packages":[{"name":"a","kind":"pkg","versions":["1"]},{"name":"a","kind":"pkg","versions":["1"]},)"
        R"({"name":"a","kind":"pkg","versions":["1"],"description":""},{"name":"a","kind":"deps","versions":["1"]}]})",
        &CatalogDocument::fromJson);
    const QSet<CatalogPackage> packages(catalog.packages.cbegin(), catalog.packages.cend());
    QCOMPARE(packages.size(), 3);

    PackageInfo info;
    info.name = u"a"_qs;
    PackageInfo withDeps = info;
    withDeps.deps = QStringList();
    QVERIFY(!(info == withDeps));
    QVERIFY(qHash(info) != qHash(withDeps));
    PackageInfo copy = withDeps;
    QCOMPARE(copy, withDeps);
    QCOMPARE(qHash(copy), qHash(withDeps));

    const OutdatedItem item{u"a"_qs, u"1"_qs, u"2"_qs, u"outdated"_qs, std::nullopt};
    OutdatedItem emptyLinked = item;
    emptyLinked.linked = QString();
    QCOMPARE(QSet<OutdatedItem>({item, item, emptyLinked}).size(), 2);

    const MirrorEntry entry{u"m"_qs, std::nullopt, u"default"_qs, std::nullopt, std::nullopt, std::nullopt};
    MirrorEntry noAuth = entry;
    noAuth.requiresAuth = false;
    QCOMPARE(QSet<MirrorEntry>({entry, entry, noAuth}).size(), 2);

    QCOMPARE(QSet<InstalledPackage>({InstalledPackage(u"a"_qs, {u"1"_qs, u"2"_qs}),
                                     InstalledPackage(u"a"_qs, {u"1"_qs, u"2"_qs}),
                                     InstalledPackage(u"a"_qs, {u"2"_qs, u"1"_qs})})
                 .size(),
             2);
}

REVEZE_TEST_MAIN(TestRecords)
#include "tst_records.moc"
