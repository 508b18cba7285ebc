#include "ZelkEvent.h"

#include "Json.h"
#include "Utf8.h"

#include <string_view>

namespace ZelkKit {

namespace {

using Json::Object;

QString text(Object &object, std::string_view key, const QString &fallback = QString())
{
    return object.optionalString(key).value_or(fallback);
}

QStringList textList(Object &object, std::string_view key)
{
    return object.optionalStringList(key).value_or(QStringList());
}

// Reads the keys of the case named by event; the caller checks the context.
ZelkEvent decodeCase(std::string_view event, Object &object)
{
    if (event == "plan")
        return ZelkEvent::Plan{textList(object, "steps")};
    if (event == "step") {
        ZelkEvent::Step step;
        step.name = text(object, "name");
        step.status = text(object, "status", step.status);
        return step;
    }
    if (event == "progress") {
        ZelkEvent::Progress progress;
        progress.step = text(object, "step");
        progress.done = object.optionalInteger("done");
        progress.total = object.optionalInteger("total");
        progress.percent = object.optionalInteger("percent");
        return progress;
    }
    if (event == "package") {
        ZelkEvent::Package package;
        package.name = text(object, "name");
        package.status = text(object, "status");
        return package;
    }
    if (event == "status") {
        ZelkEvent::Status status;
        status.package = text(object, "package");
        status.version = text(object, "version");
        status.state = text(object, "state");
        status.fromVersion = object.optionalString("from_version");
        return status;
    }
    if (event == "summary") {
        ZelkEvent::Summary summary;
        summary.upgraded = textList(object, "upgraded");
        summary.unchanged = textList(object, "unchanged");
        summary.failed = textList(object, "failed");
        return summary;
    }
    if (event == "done") {
        ZelkEvent::Done done;
        done.package = text(object, "package");
        done.version = text(object, "version");
        done.bin = object.optionalString("bin");
        done.linked = object.optionalBoolean("linked");
        return done;
    }
    if (event == "error") {
        ZelkEvent::Error error;
        error.message = text(object, "message");
        error.hint = object.optionalStringList("hint");
        error.code = object.optionalString("code");
        return error;
    }
    // No other key of an unknown event is read.
    return ZelkEvent::Unknown{Utf8::textOfValid(QByteArrayView(event.data(), qsizetype(event.size())))};
}

// The UTF-8 length of a tab or Unicode space separator (Zs) starting at
// bytes[i], or 0. Zs: U+0020, U+00A0, U+1680, U+2000..U+200A, U+202F,
// U+205F, U+3000. Working on bytes gives the same answer as trimming the
// decoded text: UTF-8 is self-synchronising, so a complete sequence keeps its
// meaning whatever invalid bytes stand around it.
qsizetype blankLengthAt(const unsigned char *bytes, qsizetype i, qsizetype size)
{
    const unsigned char b = bytes[i];
    if (b == 0x20 || b == 0x09)
        return 1;
    if (b == 0xC2)
        return (i + 1 < size && bytes[i + 1] == 0xA0) ? 2 : 0;
    if (b < 0xE1 || b > 0xE3 || i + 2 >= size)
        return 0;
    const unsigned char b1 = bytes[i + 1];
    const unsigned char b2 = bytes[i + 2];
    switch (b) {
    case 0xE1: return (b1 == 0x9A && b2 == 0x80) ? 3 : 0;
    case 0xE2:
        if (b1 == 0x80 && ((b2 >= 0x80 && b2 <= 0x8A) || b2 == 0xAF))
            return 3;
        return (b1 == 0x81 && b2 == 0x9F) ? 3 : 0;
    case 0xE3: return (b1 == 0x80 && b2 == 0x80) ? 3 : 0;
    }
    return 0;
}

QByteArrayView trimmedBlanks(QByteArrayView line)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(line.data());
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end) {
        const qsizetype length = blankLengthAt(bytes, begin, end);
        if (length == 0)
            break;
        begin += length;
    }
    while (end > begin) {
        const unsigned char last = bytes[end - 1];
        if (last == 0x20 || last == 0x09) {
            --end;
        } else if (last >= 0x80 && end - begin >= 2 && blankLengthAt(bytes, end - 2, end) == 2) {
            end -= 2;
        } else if (last >= 0x80 && end - begin >= 3 && blankLengthAt(bytes, end - 3, end) == 3) {
            end -= 3;
        } else {
            break;
        }
    }
    return line.sliced(begin, end - begin);
}

simdjson::dom::parser &lineParser()
{
    // Progress lines are short; one parser per thread keeps its buffers from
    // line to line instead of allocating for each.
    thread_local simdjson::dom::parser parser;
    return parser;
}

} // namespace

QString ZelkEvent::kind() const
{
    switch (eventCase()) {
    case Case::Plan: return QStringLiteral("plan");
    case Case::Step: return QStringLiteral("step");
    case Case::Progress: return QStringLiteral("progress");
    case Case::Package: return QStringLiteral("package");
    case Case::Status: return QStringLiteral("status");
    case Case::Summary: return QStringLiteral("summary");
    case Case::Done: return QStringLiteral("done");
    case Case::Error: return QStringLiteral("error");
    case Case::Unknown: return QStringLiteral("unknown");
    }
    return QStringLiteral("unknown");
}

std::optional<ZelkEvent> ZelkEvent::fromJson(simdjson::dom::element element)
{
    Json::Context context;
    Object object(element, QString(), context);
    if (!object.ok())
        return std::nullopt;
    const auto event = object.find("event");
    std::string_view name;
    if (!event || event->get_string().get(name) != simdjson::SUCCESS)
        return std::nullopt;
    ZelkEvent decoded = decodeCase(name, object);
    if (context.failed())
        return std::nullopt;
    return decoded;
}

std::optional<ZelkEvent> ZelkEvent::fromLine(QByteArrayView rawLine)
{
    const QByteArrayView line = trimmedBlanks(rawLine);
    if (line.isEmpty())
        return std::nullopt;
    // The rest is read exactly as a whole document is: a byte-order mark in
    // front is skipped, invalid UTF-8 is repaired, a number simdjson cannot
    // hold is fine under a key the event does not read.
    simdjson::dom::parser &parser = lineParser();
    simdjson::dom::element root;
    if (!Json::parseDocument(line, parser, root, nullptr))
        return std::nullopt;
    return fromJson(root);
}

} // namespace ZelkKit
