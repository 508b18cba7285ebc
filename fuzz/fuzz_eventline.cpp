// Fuzzes the decoding of one progress line of a streamed operation. The input
// is the line as it comes out of the line splitter (no line feed).
//
// Checked against JsonOracle's plain reading of the same line (its text by
// Utf8Oracle, trimmed of the tab and the Unicode space separators, then read
// as a document is, one leading byte-order mark skipped):
// - a blank line is never an event;
// - a line is an event exactly when it is one JSON object whose last "event"
//   member is a string and whose keys of that case have the right types;
// - kind() is the "event" text when it is one of the eight names (compared
//   exactly), else "unknown", which keeps the received text;
// - every payload field holds what the line says, or its default;
// - decoding the same line twice gives equal events.
#include "JsonOracle.h"
#include "ZelkEvent.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>

#include <cstddef>
#include <cstdint>

using namespace ZelkKit;
using namespace JsonOracle;

namespace {

constexpr Presence Opt = Presence::Optional;

bool isBlank(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QString trimmedBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.sliced(begin, end - begin);
}

// A string field with a default: invalid, or the text or the default.
Valid<QString> text(simdjson::dom::object o, std::string_view key, const QString &fallback = QString())
{
    const auto value = string(o, key, Opt);
    if (!value)
        return std::nullopt;
    return value->value_or(fallback);
}

Valid<QStringList> list(simdjson::dom::object o, std::string_view key)
{
    const auto value = strings(o, key, Opt);
    if (!value)
        return std::nullopt;
    return value->value_or(QStringList());
}

// The event the oracle reads from one object, or nothing when it is not one.
std::optional<ZelkEvent> expectedEvent(simdjson::dom::object o, QString *eventName)
{
    const auto event = last(o, "event");
    if (!event || event->type() != simdjson::dom::element_type::STRING)
        return std::nullopt;
    const std::string_view name(*event);
    *eventName = JsonOracle::text(name);
    if (name == "plan") {
        const auto steps = list(o, "steps");
        if (!steps)
            return std::nullopt;
        return ZelkEvent(ZelkEvent::Plan{*steps});
    }
    if (name == "step") {
        const auto stepName = text(o, "name");
        const auto status = text(o, "status", QStringLiteral("start"));
        if (!stepName || !status)
            return std::nullopt;
        return ZelkEvent(ZelkEvent::Step{*stepName, *status});
    }
    if (name == "progress") {
        const auto step = text(o, "step");
        const auto done = integer(o, "done", Opt);
        const auto total = integer(o, "total", Opt);
        const auto percent = integer(o, "percent", Opt);
        if (!step || !done || !total || !percent)
            return std::nullopt;
        return ZelkEvent(ZelkEvent::Progress{*step, *done, *total, *percent});
    }
    if (name == "package") {
        const auto packageName = text(o, "name");
        const auto status = text(o, "status");
        if (!packageName || !status)
            return std::nullopt;
        return ZelkEvent(ZelkEvent::Package{*packageName, *status});
    }
    if (name == "status") {
        const auto package = text(o, "package");
        const auto version = text(o, "version");
        const auto state = text(o, "state");
        const auto fromVersion = string(o, "from_version", Opt);
        if (!package || !version || !state || !fromVersion)
            return std::nullopt;
        return ZelkEvent(ZelkEvent::Status{*package, *version, *state, *fromVersion});
    }
    if (name == "summary") {
        const auto upgraded = list(o, "upgraded");
        const auto unchanged = list(o, "unchanged");
        const auto failed = list(o, "failed");
        if (!upgraded || !unchanged || !failed)
            return std::nullopt;
        return ZelkEvent(ZelkEvent::Summary{*upgraded, *unchanged, *failed});
    }
    if (name == "done") {
        const auto package = text(o, "package");
        const auto version = text(o, "version");
        const auto bin = string(o, "bin", Opt);
        const auto linked = boolean(o, "linked", Opt);
        if (!package || !version || !bin || !linked)
            return std::nullopt;
        return ZelkEvent(ZelkEvent::Done{*package, *version, *bin, *linked});
    }
    if (name == "error") {
        const auto message = text(o, "message");
        const auto hint = strings(o, "hint", Opt);
        const auto code = string(o, "code", Opt);
        if (!message || !hint || !code)
            return std::nullopt;
        return ZelkEvent(ZelkEvent::Error{*message, *hint, *code});
    }
    return ZelkEvent(ZelkEvent::Unknown{JsonOracle::text(name)});
}

// The eight names, compared exactly; anything else is "unknown".
QString expectedKind(const QString &eventName)
{
    static const QStringList names{u"plan"_qs, u"step"_qs, u"progress"_qs, u"package"_qs,
                                   u"status"_qs, u"summary"_qs, u"done"_qs, u"error"_qs};
    return names.contains(eventName, Qt::CaseSensitive) ? eventName : u"unknown"_qs;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView line(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<ZelkEvent> event = ZelkEvent::fromLine(line);
    const std::optional<ZelkEvent> again = ZelkEvent::fromLine(line);
    check(event == again);

    const QString trimmed = trimmedBlanks(Utf8Oracle::text(line));
    if (trimmed.isEmpty()) {
        check(!event);
        return 0;
    }

    static simdjson::dom::parser parser;
    const QByteArray bytes = withoutByteOrderMark(trimmed.toUtf8());
    simdjson::dom::element root;
    std::optional<ZelkEvent> expected;
    QString eventName;
    const simdjson::error_code code = parser.parse(bytes.constData(), size_t(bytes.size()), true).get(root);
    if (code == simdjson::NUMBER_ERROR) {
        // A number simdjson cannot hold: an event when it stands under a key
        // the case does not read, which this plain reading cannot tell.
        return 0;
    }
    if (code == simdjson::SUCCESS) {
        if (const auto object = asObject(root))
            expected = expectedEvent(*object, &eventName);
    }
    check(event.has_value() == expected.has_value());
    if (!event)
        return 0;
    check(*event == *expected);
    check(event->kind() == expectedKind(eventName));
    if (const auto *unknown = event->as<ZelkEvent::Unknown>())
        check(unknown->type == eventName);
    return 0;
}
