#pragma once

// A second, deliberately plain reading of zelk's JSON for the fuzz targets:
// members are found by a linear scan that keeps the last occurrence, types
// are checked straight on simdjson's elements, text is read by Utf8Oracle. It
// shares nothing with zelkkit's Json layer but simdjson itself, so a fault in
// that layer's key index, its type rules or its UTF-8 handling shows up as a
// disagreement.
//
// Every reader answers "invalid" (an empty outer optional) or the field's
// value, where an optional field's value is itself an optional.

#include "Utf8Oracle.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string_view>

#include <simdjson.h>

namespace JsonOracle {

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

enum class Presence { Required, Optional };

template<typename T>
using Valid = std::optional<T>;

// A string value as the record must hold it: every character, a leading
// U+FEFF included.
inline QString text(std::string_view view)
{
    return Utf8Oracle::text(QByteArrayView(view.data(), qsizetype(view.size())));
}

// The bytes as the platform's standard decoder reads zelk's output: the
// output's text (Utf8Oracle, not zelkkit's repair) written back as UTF-8,
// without one byte-order mark at the very start.
inline QByteArray withoutByteOrderMark(QByteArray text)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    return text;
}

inline QByteArray readable(const QByteArray &bytes)
{
    return withoutByteOrderMark(Utf8Oracle::repaired(bytes));
}

inline std::optional<simdjson::dom::element> last(simdjson::dom::object object, std::string_view key)
{
    std::optional<simdjson::dom::element> found;
    for (const auto field : object) {
        if (field.key == key)
            found = field.value;
    }
    return found;
}

inline std::optional<simdjson::dom::object> asObject(simdjson::dom::element element)
{
    if (element.type() != simdjson::dom::element_type::OBJECT)
        return std::nullopt;
    return simdjson::dom::object(element);
}

// The member under key, or nothing when absent or null; invalid when it is
// required and absent or null.
inline Valid<std::optional<simdjson::dom::element>> member(simdjson::dom::object object, std::string_view key,
                                                           Presence presence)
{
    const auto element = last(object, key);
    if (!element || element->type() == simdjson::dom::element_type::NULL_VALUE) {
        if (presence == Presence::Required)
            return std::nullopt;
        return std::optional<simdjson::dom::element>();
    }
    return element;
}

inline Valid<std::optional<QString>> string(simdjson::dom::object object, std::string_view key, Presence presence)
{
    const auto element = member(object, key, presence);
    if (!element)
        return std::nullopt;
    if (!*element)
        return std::optional<QString>();
    if ((*element)->type() != simdjson::dom::element_type::STRING)
        return std::nullopt;
    return std::optional<QString>(text(std::string_view(**element)));
}

// An integral number within the signed 64-bit range, however it is written.
inline Valid<qint64> integerOf(simdjson::dom::element element)
{
    switch (element.type()) {
    case simdjson::dom::element_type::INT64:
        return int64_t(element);
    case simdjson::dom::element_type::DOUBLE: {
        const double d = double(element);
        if (!std::isfinite(d) || std::floor(d) != d)
            return std::nullopt;
        if (d < -9223372036854775808.0 || d >= 9223372036854775808.0)
            return std::nullopt;
        return qint64(d);
    }
    default:
        return std::nullopt;
    }
}

inline Valid<std::optional<qint64>> integer(simdjson::dom::object object, std::string_view key, Presence presence)
{
    const auto element = member(object, key, presence);
    if (!element)
        return std::nullopt;
    if (!*element)
        return std::optional<qint64>();
    const auto value = integerOf(**element);
    if (!value)
        return std::nullopt;
    return std::optional<qint64>(*value);
}

inline Valid<std::optional<bool>> boolean(simdjson::dom::object object, std::string_view key, Presence presence)
{
    const auto element = member(object, key, presence);
    if (!element)
        return std::nullopt;
    if (!*element)
        return std::optional<bool>();
    if ((*element)->type() != simdjson::dom::element_type::BOOL)
        return std::nullopt;
    return std::optional<bool>(bool(**element));
}

inline Valid<QStringList> stringsOf(simdjson::dom::element element)
{
    if (element.type() != simdjson::dom::element_type::ARRAY)
        return std::nullopt;
    QStringList list;
    for (const simdjson::dom::element item : simdjson::dom::array(element)) {
        if (item.type() != simdjson::dom::element_type::STRING)
            return std::nullopt;
        list.append(text(std::string_view(item)));
    }
    return list;
}

inline Valid<std::optional<QStringList>> strings(simdjson::dom::object object, std::string_view key,
                                                 Presence presence)
{
    const auto element = member(object, key, presence);
    if (!element)
        return std::nullopt;
    if (!*element)
        return std::optional<QStringList>();
    const auto list = stringsOf(**element);
    if (!list)
        return std::nullopt;
    return std::optional<QStringList>(*list);
}

// The position of a required string among the listed texts.
inline Valid<int> enumeration(simdjson::dom::object object, std::string_view key,
                              std::initializer_list<std::string_view> texts)
{
    const auto element = member(object, key, Presence::Required);
    if (!element || (*element)->type() != simdjson::dom::element_type::STRING)
        return std::nullopt;
    const std::string_view value(**element);
    int index = 0;
    for (const std::string_view candidate : texts) {
        if (candidate == value)
            return index;
        ++index;
    }
    return std::nullopt;
}

// Every element of a required array of records is valid by checkItem(element,
// const T *record); when decoded is given, it must hold exactly as many.
template<typename T, typename CheckItem>
bool records(simdjson::dom::element element, const QList<T> *decoded, CheckItem checkItem)
{
    if (element.type() != simdjson::dom::element_type::ARRAY)
        return false;
    const simdjson::dom::array array(element);
    if (decoded)
        check(decoded->size() == qsizetype(array.size()));
    qsizetype index = 0;
    for (const simdjson::dom::element item : array) {
        if (!checkItem(item, decoded ? &decoded->at(index) : nullptr))
            return false;
        ++index;
    }
    return true;
}

template<typename T, typename CheckItem>
bool records(simdjson::dom::object object, std::string_view key, const QList<T> *decoded, CheckItem checkItem)
{
    const auto element = member(object, key, Presence::Required);
    if (!element)
        return false;
    return records(**element, decoded, checkItem);
}

} // namespace JsonOracle
