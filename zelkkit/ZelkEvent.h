#pragma once

// One progress line of a streamed install, upgrade or reinstall
// (`zelk … --json-progress` writes one JSON object per line). The string
// member "event" picks the case; only that case's keys are read. A key of the
// case present with the wrong JSON type makes the line undecodable, and such
// lines are skipped one by one, never failing the run.

#include <QByteArrayView>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <optional>
#include <type_traits>
#include <variant>

#include <simdjson.h>

namespace ZelkKit {

class ZelkEvent
{
public:
    // Absent or null keys give the defaults written beside the fields.
    struct Plan {
        QStringList steps; // []
        friend bool operator==(const Plan &, const Plan &) = default;
    };
    struct Step {
        QString name;                             // ""
        QString status = QStringLiteral("start"); // "start"
        friend bool operator==(const Step &, const Step &) = default;
    };
    struct Progress {
        QString step; // ""
        std::optional<qint64> done;
        std::optional<qint64> total;
        std::optional<qint64> percent;
        friend bool operator==(const Progress &, const Progress &) = default;
    };
    struct Package {
        QString name;   // ""
        QString status; // ""
        friend bool operator==(const Package &, const Package &) = default;
    };
    struct Status {
        QString package; // ""
        QString version; // ""
        QString state;   // ""
        std::optional<QString> fromVersion;
        friend bool operator==(const Status &, const Status &) = default;
    };
    struct Summary {
        QStringList upgraded;  // []
        QStringList unchanged; // []
        QStringList failed;    // []
        friend bool operator==(const Summary &, const Summary &) = default;
    };
    struct Done {
        QString package; // ""
        QString version; // ""
        std::optional<QString> bin;
        std::optional<bool> linked;
        friend bool operator==(const Done &, const Done &) = default;
    };
    struct Error {
        QString message; // ""
        std::optional<QStringList> hint;
        std::optional<QString> code;
        friend bool operator==(const Error &, const Error &) = default;
    };
    // Any other "event" value, kept as received.
    struct Unknown {
        QString type;
        friend bool operator==(const Unknown &, const Unknown &) = default;
    };

    // In the order of the alternatives of Payload.
    enum class Case { Plan, Step, Progress, Package, Status, Summary, Done, Error, Unknown };
    using Payload = std::variant<Plan, Step, Progress, Package, Status, Summary, Done, Error, Unknown>;

    // From one case (ZelkEvent(ZelkEvent::Plan{...})) or a whole payload.
    template<typename C, typename = std::enable_if_t<std::is_constructible_v<Payload, C &&>>>
    ZelkEvent(C value) : m_payload(std::move(value)) {}

    Case eventCase() const { return Case(m_payload.index()); }
    // "plan", "step", "progress", "package", "status", "summary", "done",
    // "error" or "unknown" (also for an unknown event, whatever its name).
    QString kind() const;

    const Payload &payload() const { return m_payload; }
    template<typename C>
    bool is() const { return std::holds_alternative<C>(m_payload); }
    // The payload when the event is of case C, else null.
    template<typename C>
    const C *as() const { return std::get_if<C>(&m_payload); }

    // The event held by a parsed JSON value; nothing when it is not an object
    // with a string "event", or when a key of its case has the wrong type.
    static std::optional<ZelkEvent> fromJson(simdjson::dom::element element);

    // One line of standard output as the stream handles it: bytes without the
    // line feed; invalid UTF-8 becomes U+FFFD; the tab and Unicode space
    // separators (Zs) are trimmed from both ends (line breaks are not, so the
    // carriage return of a CR LF line stays; JSON reads it as white space);
    // then the rest must be exactly one JSON object holding an event, read by
    // the same rules as a whole document (Json::parseDocument: a leading
    // byte-order mark is skipped, huge numbers under keys the event does not
    // read are fine). Nothing for a blank line or a line that is not an
    // event. Reentrant: each thread keeps its own parser.
    static std::optional<ZelkEvent> fromLine(QByteArrayView rawLine);

    friend bool operator==(const ZelkEvent &, const ZelkEvent &) = default;

private:
    Payload m_payload;
};

} // namespace ZelkKit

Q_DECLARE_METATYPE(ZelkKit::ZelkEvent)
