#include "Json.h"

#include <cmath>

namespace ZelkKit::Json {

QByteArray repairedUtf8(QByteArray bytes)
{
    if (simdjson::validate_utf8(bytes.constData(), size_t(bytes.size())))
        return bytes;
    return QString::fromUtf8(bytes).toUtf8();
}

QString typeName(simdjson::dom::element_type type)
{
    using T = simdjson::dom::element_type;
    switch (type) {
    case T::ARRAY: return QStringLiteral("an array");
    case T::OBJECT: return QStringLiteral("an object");
    case T::INT64:
    case T::UINT64:
    case T::DOUBLE: return QStringLiteral("a number");
    case T::STRING: return QStringLiteral("a string");
    case T::BOOL: return QStringLiteral("a boolean");
    case T::NULL_VALUE: return QStringLiteral("null");
    }
    return QStringLiteral("an unknown value");
}

void Context::fail(const QString &path, const QString &problem)
{
    if (m_failed)
        return;
    m_failed = true;
    m_description = path.isEmpty() ? problem : path + QStringLiteral(": ") + problem;
}

QString childPath(const QString &path, std::string_view key)
{
    const QString name = QString::fromUtf8(key.data(), qsizetype(key.size()));
    return path.isEmpty() ? name : path + QLatin1Char('.') + name;
}

QString indexPath(const QString &path, qsizetype index)
{
    return path + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
}

std::optional<qint64> integerValue(simdjson::dom::element element, const QString &path, Context &context)
{
    using T = simdjson::dom::element_type;
    switch (element.type()) {
    case T::INT64:
        return int64_t(element);
    case T::UINT64:
        context.fail(path, QStringLiteral("number out of range for a 64-bit integer"));
        return std::nullopt;
    case T::DOUBLE: {
        const double d = double(element);
        // 2^63 is exactly representable; anything at or above it is out of range.
        constexpr double limit = 9223372036854775808.0;
        if (std::isfinite(d) && d == std::trunc(d)) {
            if (d >= -limit && d < limit)
                return qint64(d);
            context.fail(path, QStringLiteral("number out of range for a 64-bit integer"));
            return std::nullopt;
        }
        context.fail(path, QStringLiteral("expected an integer, found a number with a fraction"));
        return std::nullopt;
    }
    default:
        context.fail(path, QStringLiteral("expected an integer, found %1").arg(typeName(element.type())));
        return std::nullopt;
    }
}

std::optional<QString> stringValue(simdjson::dom::element element, const QString &path, Context &context)
{
    std::string_view text;
    if (element.get_string().get(text) != simdjson::SUCCESS) {
        context.fail(path, QStringLiteral("expected a string, found %1").arg(typeName(element.type())));
        return std::nullopt;
    }
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::optional<bool> booleanValue(simdjson::dom::element element, const QString &path, Context &context)
{
    bool value = false;
    if (element.get_bool().get(value) != simdjson::SUCCESS) {
        context.fail(path, QStringLiteral("expected a boolean, found %1").arg(typeName(element.type())));
        return std::nullopt;
    }
    return value;
}

std::optional<QStringList> stringListValue(simdjson::dom::element element, const QString &path, Context &context)
{
    simdjson::dom::array array;
    if (element.get_array().get(array) != simdjson::SUCCESS) {
        context.fail(path, QStringLiteral("expected an array, found %1").arg(typeName(element.type())));
        return std::nullopt;
    }
    QStringList result;
    result.reserve(qsizetype(array.size()));
    qsizetype index = 0;
    for (simdjson::dom::element item : array) {
        std::string_view text;
        if (item.get_string().get(text) != simdjson::SUCCESS) {
            context.fail(indexPath(path, index), QStringLiteral("expected a string, found %1").arg(typeName(item.type())));
            return std::nullopt;
        }
        result.append(QString::fromUtf8(text.data(), qsizetype(text.size())));
        ++index;
    }
    return result;
}

Object::Object(simdjson::dom::element element, QString path, Context &context)
    : m_path(std::move(path)), m_context(context)
{
    if (m_context.failed())
        return;
    simdjson::dom::object object;
    if (element.get_object().get(object) != simdjson::SUCCESS) {
        m_context.fail(m_path, QStringLiteral("expected an object, found %1").arg(typeName(element.type())));
        return;
    }
    m_members.reserve(qsizetype(object.size()));
    for (const auto field : object)
        m_members.append(Member{field.key, field.value});
}

std::optional<simdjson::dom::element> Object::find(std::string_view key) const
{
    for (auto it = m_members.crbegin(); it != m_members.crend(); ++it) {
        if (it->key == key)
            return it->value;
    }
    return std::nullopt;
}

bool Object::has(std::string_view key) const
{
    const auto element = find(key);
    return element && !element->is_null();
}

std::optional<simdjson::dom::element> Object::required(std::string_view key)
{
    if (m_context.failed())
        return std::nullopt;
    const auto element = find(key);
    if (!element) {
        m_context.fail(childPath(m_path, key), QStringLiteral("missing key"));
        return std::nullopt;
    }
    return element;
}

std::optional<simdjson::dom::element> Object::optional(std::string_view key)
{
    if (m_context.failed())
        return std::nullopt;
    const auto element = find(key);
    if (!element || element->is_null())
        return std::nullopt;
    return element;
}

QString Object::string(std::string_view key)
{
    const auto element = required(key);
    if (!element)
        return {};
    return stringValue(*element, childPath(m_path, key), m_context).value_or(QString());
}

std::optional<QString> Object::optionalString(std::string_view key)
{
    const auto element = optional(key);
    if (!element)
        return std::nullopt;
    return stringValue(*element, childPath(m_path, key), m_context);
}

qint64 Object::integer(std::string_view key)
{
    const auto element = required(key);
    if (!element)
        return 0;
    return integerValue(*element, childPath(m_path, key), m_context).value_or(0);
}

std::optional<qint64> Object::optionalInteger(std::string_view key)
{
    const auto element = optional(key);
    if (!element)
        return std::nullopt;
    return integerValue(*element, childPath(m_path, key), m_context);
}

bool Object::boolean(std::string_view key)
{
    const auto element = required(key);
    if (!element)
        return false;
    return booleanValue(*element, childPath(m_path, key), m_context).value_or(false);
}

std::optional<bool> Object::optionalBoolean(std::string_view key)
{
    const auto element = optional(key);
    if (!element)
        return std::nullopt;
    return booleanValue(*element, childPath(m_path, key), m_context);
}

QStringList Object::stringList(std::string_view key)
{
    const auto element = required(key);
    if (!element)
        return {};
    return stringListValue(*element, childPath(m_path, key), m_context).value_or(QStringList());
}

std::optional<QStringList> Object::optionalStringList(std::string_view key)
{
    const auto element = optional(key);
    if (!element)
        return std::nullopt;
    return stringListValue(*element, childPath(m_path, key), m_context);
}

bool parseDocument(const QByteArray &bytes, simdjson::dom::parser &parser, simdjson::dom::element &root, QString *error)
{
    const QByteArray text = repairedUtf8(bytes);
    bool blank = true;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
            blank = false;
            break;
        }
    }
    if (blank) {
        if (error)
            *error = QStringLiteral("the output is empty");
        return false;
    }
    const auto code = parser.parse(text.constData(), size_t(text.size()), true).get(root);
    if (code != simdjson::SUCCESS) {
        if (error)
            *error = QStringLiteral("invalid JSON (%1)").arg(QString::fromUtf8(simdjson::error_message(code)));
        return false;
    }
    return true;
}

} // namespace ZelkKit::Json
