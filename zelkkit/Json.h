#pragma once

// The strict decoding layer over simdjson that every zelk document goes
// through. Decoding is all-or-nothing: the first problem met is recorded with
// the path of the value (for example "packages[3].sha256: missing key") and
// every later accessor returns a default, so a record decoder can be written
// straight through and checked once at the end. Keys are matched exactly;
// unknown keys are ignored; when a key occurs twice the last occurrence wins,
// as with the platform's standard decoder.

#include "Utf8.h"

#include <QByteArray>
#include <QList>
#include <QVarLengthArray>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>

#include <simdjson.h>

namespace ZelkKit::Json {

// "an object", "a string", ... for error texts.
QString typeName(simdjson::dom::element_type type);

class Context
{
public:
    bool failed() const { return m_failed; }
    void fail(const QString &path, const QString &problem);
    // "path: problem", or the problem alone at the top level.
    const QString &description() const { return m_description; }

private:
    bool m_failed = false;
    QString m_description;
};

QString childPath(const QString &path, std::string_view key);
QString indexPath(const QString &path, qsizetype index);
// Makes path, whose first prefixLength characters are kept, the indexPath of
// that prefix, reusing path's buffer.
void setIndexPath(QString &path, qsizetype prefixLength, qsizetype index);

// Reads one JSON number as a 64-bit integer: integral numbers within range are
// accepted however they are written (1, 1.0, 1e2); 1.5 or out of range fail.
std::optional<qint64> integerValue(simdjson::dom::element element, const QString &path, Context &context);
std::optional<QString> stringValue(simdjson::dom::element element, const QString &path, Context &context);
std::optional<bool> booleanValue(simdjson::dom::element element, const QString &path, Context &context);
std::optional<QStringList> stringListValue(simdjson::dom::element element, const QString &path, Context &context);

class Object
{
public:
    // Fails the context unless element is an object.
    Object(simdjson::dom::element element, QString path, Context &context);

    bool ok() const { return !m_context.failed(); }
    Context &context() const { return m_context; }
    const QString &path() const { return m_path; }

    // The member under key, last occurrence winning; nothing when absent.
    std::optional<simdjson::dom::element> find(std::string_view key) const;
    // Present with a value other than null.
    bool has(std::string_view key) const;

    QString string(std::string_view key);
    std::optional<QString> optionalString(std::string_view key);
    qint64 integer(std::string_view key);
    std::optional<qint64> optionalInteger(std::string_view key);
    bool boolean(std::string_view key);
    std::optional<bool> optionalBoolean(std::string_view key);
    QStringList stringList(std::string_view key);
    std::optional<QStringList> optionalStringList(std::string_view key);

    // A required array whose elements decode with
    // decode(simdjson::dom::element, const QString &path, Context &) -> T.
    template<typename T, typename Decode>
    QList<T> list(std::string_view key, Decode decode);

    // A required string that must be one of the listed texts.
    template<typename E>
    E enumeration(std::string_view key, std::initializer_list<std::pair<std::string_view, E>> values);

private:
    std::optional<simdjson::dom::element> required(std::string_view key);
    std::optional<simdjson::dom::element> optional(std::string_view key);

    struct Member {
        std::string_view key;
        // The key's first eight bytes, so that a key comparison is nearly
        // always one integer comparison.
        quint64 prefix;
        simdjson::dom::element value;
    };
    // Inline room for the members of every zelk record, so that decoding an
    // object allocates nothing of its own.
    QVarLengthArray<Member, 32> m_members;
    // An open-addressing index over the first indexCapacity members (member
    // position + 1, 0 for a free slot), kept pointing at the last occurrence
    // of each key; larger objects are searched from the end instead.
    static constexpr qsizetype indexCapacity = 32;
    quint8 m_index[2 * indexCapacity] = {};
    QString m_path;
    Context &m_context;
};

// A top-level array whose elements decode with decode(element, path, context).
template<typename T, typename Decode>
QList<T> arrayOf(simdjson::dom::element element, const QString &path, Context &context, Decode decode)
{
    QList<T> result;
    if (context.failed())
        return result;
    simdjson::dom::array array;
    if (element.get_array().get(array) != simdjson::SUCCESS) {
        context.fail(path, QStringLiteral("expected an array, found %1").arg(typeName(element.type())));
        return result;
    }
    result.reserve(qsizetype(array.size()));
    // One path buffer for all elements ("packages[0]", "packages[1]", ...):
    // rewriting its index part does not allocate.
    QString itemPath;
    itemPath.reserve(path.size() + 24);
    itemPath += path;
    qsizetype index = 0;
    for (simdjson::dom::element item : array) {
        setIndexPath(itemPath, path.size(), index);
        T value = decode(item, std::as_const(itemPath), context);
        if (context.failed())
            return {};
        result.append(std::move(value));
        ++index;
    }
    return result;
}

template<typename T, typename Decode>
QList<T> Object::list(std::string_view key, Decode decode)
{
    const auto element = required(key);
    if (!element)
        return {};
    return arrayOf<T>(*element, childPath(m_path, key), m_context, decode);
}

template<typename E>
E Object::enumeration(std::string_view key, std::initializer_list<std::pair<std::string_view, E>> values)
{
    const auto element = required(key);
    if (!element)
        return values.begin()->second;
    std::string_view text;
    if (element->get_string().get(text) != simdjson::SUCCESS) {
        m_context.fail(childPath(m_path, key), QStringLiteral("expected a string, found %1").arg(typeName(element->type())));
        return values.begin()->second;
    }
    for (const auto &[name, value] : values) {
        if (name == text)
            return value;
    }
    m_context.fail(childPath(m_path, key),
                   QStringLiteral("unexpected value \"%1\"").arg(Utf8::textOfValid(QByteArrayView(text.data(), qsizetype(text.size())))));
    return values.begin()->second;
}

// Parses bytes as exactly one JSON document and hands the root element to
// decode(element, context) -> T. Returns the record, or nothing with the
// failure text in *error. One UTF-8 byte-order mark at the very start is
// skipped, as the platform's standard decoder does; invalid UTF-8 is repaired
// as Utf8::text repairs it; numbers simdjson cannot hold are read where the
// record ignores them. Every string value reaches the record as
// Utf8::textOfValid text.
template<typename T, typename Decode>
std::optional<T> decodeDocument(const QByteArray &bytes, Decode decode, QString *error);

// Parsing shared by decodeDocument and the progress lines: fills root, or
// returns false with the failure text in *error. root points into parser.
bool parseDocument(QByteArrayView bytes, simdjson::dom::parser &parser, simdjson::dom::element &root, QString *error);

template<typename T, typename Decode>
std::optional<T> decodeDocument(const QByteArray &bytes, Decode decode, QString *error)
{
    thread_local simdjson::dom::parser parser;
    simdjson::dom::element root;
    if (!parseDocument(bytes, parser, root, error))
        return std::nullopt;
    Context context;
    T value = decode(root, context);
    if (context.failed()) {
        if (error)
            *error = context.description();
        return std::nullopt;
    }
    return value;
}

} // namespace ZelkKit::Json
