// Decoding one progress line of `zelk … --json-progress` into a ZelkEvent:
// defaults, optional fields, lines that are skipped, and the trimming of
// blanks around a line.

#include "TestSupport.h"
#include "ZelkEvent.h"

#include <QTest>

using namespace ZelkKit;
using E = ZelkEvent;

namespace {

using MaybeEvent = std::optional<ZelkEvent>;

QByteArray utf8(char32_t codePoint)
{
    // Not QString::fromUcs4, which would drop U+FEFF as a byte order mark.
    return QStringView(QChar::fromUcs4(codePoint)).toUtf8();
}

} // namespace

class TestEvents : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodes_data();
    void decodes();
    void skipped_data();
    void skipped();
    void blanksAroundTheLine_data();
    void blanksAroundTheLine();
    void trimsExactlyTheSpaceSeparators();
    void kind_data();
    void kind();
    void equality();
    void fromJsonNeedsAnObject();
};

void TestEvents::decodes_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<ZelkEvent>("expected");

    QTest::addRow("plan with two steps")
        << QByteArray(R"({"event":"plan","steps":["download","link"]})") << E(E::Plan{{u"download"_qs, u"link"_qs}});
    QTest::addRow("plan without steps") << QByteArray(R"({"event":"plan"})") << E(E::Plan{});
    QTest::addRow("plan with null steps") << QByteArray(R"({"event":"plan","steps":null})") << E(E::Plan{});
    QTest::addRow("step without status starts")
        << QByteArray(R"({"event":"step","name":"download"})") << E(E::Step{u"download"_qs, u"start"_qs});
    QTest::addRow("step with null status starts")
        << QByteArray(R"({"event":"step","name":"link","status":null})") << E(E::Step{u"link"_qs, u"start"_qs});
    QTest::addRow("step with status")
        << QByteArray(R"({"event":"step","name":"link","status":"done"})") << E(E::Step{u"link"_qs, u"done"_qs});
    QTest::addRow("empty step") << QByteArray(R"({"event":"step"})") << E(E::Step{QString(), u"start"_qs});
    QTest::addRow("progress with percent only")
        << QByteArray(R"({"event":"progress","percent":50})") << E(E::Progress{QString(), {}, {}, 50});
    QTest::addRow("progress complete")
        << QByteArray(R"({"event":"progress","step":"download","done":3,"total":7,"percent":42})")
        << E(E::Progress{u"download"_qs, 3, 7, 42});
    QTest::addRow("progress numbers follow the integer rule")
        << QByteArray(R"({"event":"progress","done":3.0,"total":1e3,"percent":null})")
        << E(E::Progress{QString(), 3, 1000, {}});
    QTest::addRow("package") << QByteArray(R"({"event":"package","name":"tool","status":"installed"})")
                             << E(E::Package{u"tool"_qs, u"installed"_qs});
    QTest::addRow("empty package") << QByteArray(R"({"event":"package"})") << E(E::Package{});
    QTest::addRow("status with from_version")
        << QByteArray(R"({"event":"status","package":"tool","version":"2.0","state":"upgraded","from_version":"1.0"})")
        << E(E::Status{u"tool"_qs, u"2.0"_qs, u"upgraded"_qs, u"1.0"_qs});
    QTest::addRow("status without from_version")
        << QByteArray(R"({"event":"status","package":"tool","state":"unchanged","from_version":null})")
        << E(E::Status{u"tool"_qs, QString(), u"unchanged"_qs, std::nullopt});
    QTest::addRow("summary")
        << QByteArray(R"({"event":"summary","upgraded":["a","b"],"unchanged":["c"],"failed":[]})")
        << E(E::Summary{{u"a"_qs, u"b"_qs}, {u"c"_qs}, {}});
    QTest::addRow("summary with failures only")
        << QByteArray(R"({"event":"summary","failed":["x"]})") << E(E::Summary{{}, {}, {u"x"_qs}});
    QTest::addRow("done complete")
        << QByteArray(R"({"event":"done","package":"tool","version":"2.0","bin":"/opt/rurirud/bin/tool","linked":true})")
        << E(E::Done{u"tool"_qs, u"2.0"_qs, u"/opt/rurirud/bin/tool"_qs, true});
    QTest::addRow("done without bin and linked")
        << QByteArray(R"({"event":"done","package":"tool","version":"2.0"})")
        << E(E::Done{u"tool"_qs, u"2.0"_qs, std::nullopt, std::nullopt});
    QTest::addRow("done linked false") << QByteArray(R"({"event":"done","linked":false})")
                                       << E(E::Done{QString(), QString(), std::nullopt, false});
    QTest::addRow("error with hints and code")
        << QByteArray(R"({"event":"error","message":"checksum mismatch","hint":["retry","check the mirror"],"code":"E_CHECKSUM"})")
        << E(E::Error{u"checksum mismatch"_qs, QStringList{u"retry"_qs, u"check the mirror"_qs}, u"E_CHECKSUM"_qs});
    QTest::addRow("error with an empty hint list is not without hints")
        << QByteArray(R"({"event":"error","message":"m","hint":[]})") << E(E::Error{u"m"_qs, QStringList(), {}});
    QTest::addRow("error bare") << QByteArray(R"({"event":"error","hint":null,"code":null})") << E(E::Error{});

    QTest::addRow("unknown event name") << QByteArray(R"({"event":"checkpoint","at":3})")
                                        << E(E::Unknown{u"checkpoint"_qs});
    QTest::addRow("names are case-sensitive") << QByteArray(R"({"event":"Plan","steps":["a"]})")
                                              << E(E::Unknown{u"Plan"_qs});
    QTest::addRow("empty event name") << QByteArray(R"({"event":""})") << E(E::Unknown{QString()});
    QTest::addRow("unknown reads no other key")
        << QByteArray(R"({"event":"later","steps":"not a list","percent":"x","message":7})")
        << E(E::Unknown{u"later"_qs});
    QTest::addRow("other cases' keys are ignored")
        << QByteArray(R"({"event":"plan","percent":"x","name":1,"steps":["a"]})") << E(E::Plan{{u"a"_qs}});
    QTest::addRow("unknown keys are ignored")
        << QByteArray(R"({"ts":1700000000.25,"event":"package","extra":{"nested":[null]},"name":"a"})")
        << E(E::Package{u"a"_qs, QString()});
    QTest::addRow("event key anywhere in the object")
        << QByteArray(R"({"name":"a","status":"ok","event":"package"})") << E(E::Package{u"a"_qs, u"ok"_qs});
    QTest::addRow("non-ASCII text") << QByteArray(R"({"event":"package","name":"\u5de5\u5177","status":"已安装"})")
                                    << E(E::Package{u"工具"_qs, u"已安装"_qs});
    QTest::addRow("invalid UTF-8 inside a string becomes U+FFFD")
        << QByteArray("{\"event\":\"package\",\"name\":\"a\xff" "b\"}") << E(E::Package{u"a\uFFFDb"_qs, QString()});
    QTest::addRow("invalid UTF-8 in an unknown event name")
        << QByteArray("{\"event\":\"\xc3\"}") << E(E::Unknown{u"\uFFFD"_qs});
    QTest::addRow("a truncated sequence inside a string is one U+FFFD")
        << QByteArray("{\"event\":\"package\",\"name\":\"\xe5\xb7" "a\",\"status\":\"\xf0\x9f\x98\"}")
        << E(E::Package{u"\uFFFDa"_qs, u"\uFFFD"_qs});
    QTest::addRow("an encoded surrogate inside a string")
        << QByteArray("{\"event\":\"package\",\"name\":\"\xed\xa0\x80\"}")
        << E(E::Package{u"\uFFFD\uFFFD\uFFFD"_qs, QString()});
    QTest::addRow("U+FEFF at the start of a string is text")
        << QByteArray("{\"event\":\"package\",\"name\":\"\xef\xbb\xbfjq\",\"status\":\"\\ufeffok\"}")
        << E(E::Package{u"\uFEFFjq"_qs, u"\uFEFFok"_qs});
    QTest::addRow("U+FEFF at the start of an event name")
        << QByteArray(R"({"event":"\ufeffplan"})") << E(E::Unknown{u"\uFEFFplan"_qs});
    // A line is read as a whole document is.
    QTest::addRow("a leading byte-order mark is skipped")
        << QByteArray("\xef\xbb\xbf{\"event\":\"plan\",\"steps\":[\"a\"]}") << E(E::Plan{{u"a"_qs}});
    QTest::addRow("a leading byte-order mark before invalid UTF-8")
        << QByteArray("\xef\xbb\xbf{\"event\":\"package\",\"name\":\"\xff\"}") << E(E::Package{u"\uFFFD"_qs, QString()});
    QTest::addRow("a 30-digit integer under an unknown key")
        << QByteArray(R"({"event":"progress","bytes":123456789012345678901234567890,"percent":5})")
        << E(E::Progress{QString(), {}, {}, 5});
    QTest::addRow("1e400 under an unknown key")
        << QByteArray(R"({"event":"progress","rate":1e400,"percent":5})") << E(E::Progress{QString(), {}, {}, 5});
    QTest::addRow("huge numbers under another case's keys")
        << QByteArray(R"({"event":"plan","percent":-1e400,"total":18446744073709551616})") << E(E::Plan{});
    QTest::addRow("huge numbers in an unknown event")
        << QByteArray(R"({"event":"checkpoint","at":[1e400,123456789012345678901234567890]})")
        << E(E::Unknown{u"checkpoint"_qs});
    QTest::addRow("duplicate keys: the last wins")
        << QByteArray(R"({"event":"step","name":"a","status":7,"name":"b","status":"ok"})")
        << E(E::Step{u"b"_qs, u"ok"_qs});
    QTest::addRow("a duplicate event key: the last picks the case")
        << QByteArray(R"({"event":"plan","steps":"x","event":"done"})") << E(E::Done{});
    QTest::addRow("escaped key names") << QByteArray(R"({"\u0065vent":"plan","st\u0065ps":["a"]})")
                                       << E(E::Plan{{u"a"_qs}});
    QTest::addRow("an escaped NUL makes another event name")
        << QByteArray(R"({"event":"plan\u0000"})") << E(E::Unknown{QStringView(u"plan\0", 5).toString()});
    QTest::addRow("an escaped NUL inside a text is kept")
        << QByteArray(R"({"event":"package","name":"a\u0000b"})")
        << E(E::Package{QStringView(u"a\0b", 3).toString(), QString()});
}

void TestEvents::decodes()
{
    QFETCH(QByteArray, line);
    QFETCH(ZelkEvent, expected);

    const MaybeEvent event = ZelkEvent::fromLine(line);
    QVERIFY2(event, line.constData());
    QCOMPARE(event->kind(), expected.kind());
    QVERIFY(*event == expected);
}

void TestEvents::skipped_data()
{
    QTest::addColumn<QByteArray>("line");

    QTest::addRow("empty") << QByteArray();
    QTest::addRow("blanks") << QByteArray("  \t  ");
    QTest::addRow("plain text") << QByteArray("Downloading tool 2.0 ...");
    QTest::addRow("JSON array") << QByteArray(R"([{"event":"plan"}])");
    QTest::addRow("JSON string") << QByteArray(R"("plan")");
    QTest::addRow("JSON number") << QByteArray("42");
    QTest::addRow("JSON null") << QByteArray("null");
    QTest::addRow("empty object") << QByteArray("{}");
    QTest::addRow("no event key") << QByteArray(R"({"steps":["a"]})");
    QTest::addRow("event key in another case") << QByteArray(R"({"Event":"plan"})");
    QTest::addRow("event is a number") << QByteArray(R"({"event":1})");
    QTest::addRow("event is null") << QByteArray(R"({"event":null})");
    QTest::addRow("event is a list") << QByteArray(R"({"event":["plan"]})");
    QTest::addRow("truncated object") << QByteArray(R"({"event":"plan","steps":["a")");
    QTest::addRow("two objects on one line") << QByteArray(R"({"event":"plan"} {"event":"plan"})");
    QTest::addRow("trailing text") << QByteArray(R"({"event":"plan"} ok)");
    QTest::addRow("percent as a string") << QByteArray(R"({"event":"progress","percent":"50"})");
    QTest::addRow("percent with a fraction") << QByteArray(R"({"event":"progress","percent":50.5})");
    QTest::addRow("percent beyond 64 bits") << QByteArray(R"({"event":"progress","percent":1e19})");
    QTest::addRow("percent beyond a double") << QByteArray(R"({"event":"progress","percent":1e400})");
    QTest::addRow("done as a 30-digit integer")
        << QByteArray(R"({"event":"progress","done":123456789012345678901234567890})");
    QTest::addRow("a huge number where a string belongs") << QByteArray(R"({"event":"package","name":1e400})");
    QTest::addRow("two byte-order marks") << QByteArray("\xef\xbb\xbf\xef\xbb\xbf{\"event\":\"plan\"}");
    QTest::addRow("a byte-order mark only") << QByteArray("\xef\xbb\xbf");
    QTest::addRow("done as a string") << QByteArray(R"({"event":"progress","done":"3"})");
    QTest::addRow("steps as a string") << QByteArray(R"({"event":"plan","steps":"download"})");
    QTest::addRow("a step that is not a string") << QByteArray(R"({"event":"plan","steps":["a",2]})");
    QTest::addRow("step name as a number") << QByteArray(R"({"event":"step","name":3})");
    QTest::addRow("step status as a boolean") << QByteArray(R"({"event":"step","status":true})");
    QTest::addRow("package status as a list") << QByteArray(R"({"event":"package","status":["ok"]})");
    QTest::addRow("from_version as a number") << QByteArray(R"({"event":"status","from_version":1})");
    QTest::addRow("summary list as an object") << QByteArray(R"({"event":"summary","unchanged":{}})");
    QTest::addRow("linked as a string") << QByteArray(R"({"event":"done","linked":"yes"})");
    QTest::addRow("bin as a boolean") << QByteArray(R"({"event":"done","bin":false})");
    QTest::addRow("hint as a string") << QByteArray(R"({"event":"error","message":"m","hint":"retry"})");
    QTest::addRow("code as a number") << QByteArray(R"({"event":"error","code":2})");
    QTest::addRow("message as a number") << QByteArray(R"({"event":"error","message":2})");
    QTest::addRow("invalid UTF-8 outside a string") << QByteArray("\xff{\"event\":\"plan\"}");
    QTest::addRow("NUL after the object") << QByteArray("{\"event\":\"plan\"}\0", 17);
    QTest::addRow("CR only") << QByteArray("\r");
    QTest::addRow("raw NUL inside a string") << QByteArray("{\"event\":\"plan\",\"steps\":[\"a\0\"]}", 31);
    QTest::addRow("nesting beyond the parser's limit")
        << QByteArray(R"({"event":"plan","x":)" + QByteArray(2000, '[') + QByteArray(2000, ']') + "}");
    QTest::addRow("a lone surrogate escape") << QByteArray(R"({"event":"package","name":"\ud800"})");
}

void TestEvents::skipped()
{
    QFETCH(QByteArray, line);
    const MaybeEvent event = ZelkEvent::fromLine(line);
    QVERIFY2(!event, qPrintable(event ? event->kind() : QString()));
}

void TestEvents::blanksAroundTheLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("decodes");

    const QByteArray plan = R"({"event":"plan","steps":["a"]})";
    QTest::addRow("spaces and tabs") << QByteArray(" \t " + plan + "\t  ") << true;
    QTest::addRow("no-break space and ideographic space")
        << QByteArray(utf8(0x00A0) + utf8(0x3000) + plan + utf8(0x2003) + utf8(0x202F)) << true;
    // The carriage return of a CR LF line end stays in the line; JSON reads
    // it as white space, so the event still decodes.
    QTest::addRow("CR before the line feed") << QByteArray(plan + "\r") << true;
    QTest::addRow("CR, then blanks") << QByteArray(plan + "\r \t" + utf8(0x00A0)) << true;
    QTest::addRow("leading CR") << QByteArray("\r" + plan) << true;
    // Line breaks are not trimmed, so a separator behind one stays and
    // spoils the JSON.
    QTest::addRow("no-break space behind a CR") << QByteArray(plan + utf8(0x00A0) + "\r") << false;
    QTest::addRow("next line (U+0085)") << QByteArray(plan + utf8(0x0085)) << false;
    QTest::addRow("line separator (U+2028)") << QByteArray(utf8(0x2028) + plan) << false;
    QTest::addRow("vertical tab") << QByteArray(plan + "\v") << false;
    QTest::addRow("form feed") << QByteArray("\f" + plan) << false;
    QTest::addRow("zero-width space is not a space separator") << QByteArray(utf8(0x200B) + plan) << false;
    // A byte-order mark is not a blank, but the JSON reading skips one in
    // front of the object, as it does for a whole document; after blanks it
    // is still the first thing left, behind the object it is not.
    QTest::addRow("byte order mark") << QByteArray(utf8(0xFEFF) + plan) << true;
    QTest::addRow("blanks, then a byte order mark") << QByteArray(" " + utf8(0x3000) + utf8(0xFEFF) + plan) << true;
    QTest::addRow("a byte order mark, then blanks") << QByteArray(utf8(0xFEFF) + " " + plan) << true;
    QTest::addRow("a byte order mark, then a no-break space") << QByteArray(utf8(0xFEFF) + utf8(0x00A0) + plan) << false;
    QTest::addRow("byte order mark behind the object") << QByteArray(plan + utf8(0xFEFF)) << false;
    QTest::addRow("space separators only") << QByteArray(utf8(0x00A0) + " " + utf8(0x1680) + "\t") << false;
    QTest::addRow("a lone lead byte before a space separator")
        << QByteArray(plan + "\xe2" + utf8(0x2009)) << false;
    QTest::addRow("invalid UTF-8 inside, blanks outside")
        << QByteArray(utf8(0x00A0) + "{\"event\":\"package\",\"name\":\"\xc0\"}" + utf8(0x00A0)) << true;
}

void TestEvents::blanksAroundTheLine()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, decodes);
    QCOMPARE(ZelkEvent::fromLine(line).has_value(), decodes);
}

void TestEvents::trimsExactlyTheSpaceSeparators()
{
    // Every BMP code point around an event: it decodes exactly when the code
    // point is trimmed (tab or Zs) or JSON white space (CR, LF), or is a
    // byte-order mark in front. Pins the byte-level trimming to Qt's Unicode
    // tables.
    const QByteArray plan = R"({"event":"plan"})";
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        const QChar ch{char16_t(c)};
        const bool trimmed = c == u'\t' || ch.category() == QChar::Separator_Space;
        const bool jsonBlank = c == u'\r' || c == u'\n' || c == u' ' || c == u'\t';
        const QByteArray around = utf8(c);
        const bool before = ZelkEvent::fromLine(around + plan).has_value();
        const bool after = ZelkEvent::fromLine(plan + around).has_value();
        if (before != (trimmed || jsonBlank || c == 0xFEFF) || after != (trimmed || jsonBlank))
            QFAIL(qPrintable(u"U+%1: before %2, after %3"_qs.arg(quint32(c), 4, 16, QChar(u'0')).arg(before).arg(after)));
    }
}

void TestEvents::kind_data()
{
    QTest::addColumn<ZelkEvent>("event");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("eventCase");

    QTest::addRow("plan") << E(E::Plan{}) << u"plan"_qs << int(E::Case::Plan);
    QTest::addRow("step") << E(E::Step{}) << u"step"_qs << int(E::Case::Step);
    QTest::addRow("progress") << E(E::Progress{}) << u"progress"_qs << int(E::Case::Progress);
    QTest::addRow("package") << E(E::Package{}) << u"package"_qs << int(E::Case::Package);
    QTest::addRow("status") << E(E::Status{}) << u"status"_qs << int(E::Case::Status);
    QTest::addRow("summary") << E(E::Summary{}) << u"summary"_qs << int(E::Case::Summary);
    QTest::addRow("done") << E(E::Done{}) << u"done"_qs << int(E::Case::Done);
    QTest::addRow("error") << E(E::Error{}) << u"error"_qs << int(E::Case::Error);
    QTest::addRow("unknown is not its received name") << E(E::Unknown{u"checkpoint"_qs}) << u"unknown"_qs
                                                      << int(E::Case::Unknown);
}

void TestEvents::kind()
{
    QFETCH(ZelkEvent, event);
    QFETCH(QString, kind);
    QFETCH(int, eventCase);
    QCOMPARE(event.kind(), kind);
    QCOMPARE(int(event.eventCase()), eventCase);
}

void TestEvents::equality()
{
    const E progress(E::Progress{u"download"_qs, 1, 2, 50});
    QVERIFY(progress == E(E::Progress{u"download"_qs, 1, 2, 50}));
    QVERIFY(!(progress == E(E::Progress{u"download"_qs, 1, 2, std::nullopt})));
    QVERIFY(!(progress == E(E::Progress{u"download"_qs, 1, std::nullopt, 50})));
    // A default and the same value written out compare equal.
    QVERIFY(*ZelkEvent::fromLine(R"({"event":"step","name":"a"})")
            == *ZelkEvent::fromLine(R"({"event":"step","name":"a","status":"start"})"));
    // No hints and an empty hint list differ.
    QVERIFY(!(E(E::Error{u"m"_qs, std::nullopt, {}}) == E(E::Error{u"m"_qs, QStringList(), {}})));
    // Cases with equal-looking payloads differ by case.
    QVERIFY(!(E(E::Package{u"a"_qs, u"b"_qs}) == E(E::Step{u"a"_qs, u"b"_qs})));
    QVERIFY(!(E(E::Unknown{u"a"_qs}) == E(E::Unknown{u"b"_qs})));

    const E error(E::Error{u"m"_qs, QStringList{u"h"_qs}, u"E1"_qs});
    QVERIFY(error.is<E::Error>());
    QVERIFY(!error.as<E::Plan>());
    QCOMPARE(error.as<E::Error>()->code, std::optional<QString>(u"E1"_qs));
}

void TestEvents::fromJsonNeedsAnObject()
{
    simdjson::dom::parser parser;
    simdjson::dom::element root;
    const std::string array = R"([{"event":"plan"}])";
    QCOMPARE(parser.parse(array).get(root), simdjson::SUCCESS);
    QVERIFY(!ZelkEvent::fromJson(root));
    const std::string done = R"({"event":"done","linked":true})";
    QCOMPARE(parser.parse(done).get(root), simdjson::SUCCESS);
    const MaybeEvent event = ZelkEvent::fromJson(root);
    QVERIFY(event);
    QCOMPARE(event->as<E::Done>()->linked, std::optional<bool>(true));
}

REVEZE_TEST_MAIN(TestEvents)
#include "tst_events.moc"
