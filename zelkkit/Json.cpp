#include "Json.h"

#include <cmath>
#include <cstring>

namespace ZelkKit::Json {

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
    const QString name = Utf8::textOfValid(QByteArrayView(key.data(), qsizetype(key.size())));
    return path.isEmpty() ? name : path + QLatin1Char('.') + name;
}

QString indexPath(const QString &path, qsizetype index)
{
    return path + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
}

void setIndexPath(QString &path, qsizetype prefixLength, qsizetype index)
{
    char16_t digits[24];
    qsizetype count = 0;
    auto rest = quint64(index);
    do {
        digits[count++] = char16_t(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    // Written in place: within the buffer's capacity, and with nobody else
    // holding it, this neither allocates nor copies.
    path.resize(prefixLength + count + 2);
    QChar *out = path.data() + prefixLength;
    *out++ = u'[';
    while (count > 0)
        *out++ = digits[--count];
    *out = u']';
}

namespace {

// The value readers below take the path as a callable, so that the path text
// (an allocation per field) is only built when a value fails.

template<typename Path>
std::optional<qint64> readInteger(simdjson::dom::element element, const Path &path, Context &context)
{
    using T = simdjson::dom::element_type;
    switch (element.type()) {
    case T::INT64:
        return int64_t(element);
    case T::UINT64:
        context.fail(path(), QStringLiteral("number out of range for a 64-bit integer"));
        return std::nullopt;
    case T::DOUBLE: {
        const double d = double(element);
        // 2^63 is exactly representable; anything at or above it is out of range.
        constexpr double limit = 9223372036854775808.0;
        if (std::isfinite(d) && d == std::trunc(d)) {
            if (d >= -limit && d < limit)
                return qint64(d);
            context.fail(path(), QStringLiteral("number out of range for a 64-bit integer"));
            return std::nullopt;
        }
        context.fail(path(), QStringLiteral("expected an integer, found a number with a fraction"));
        return std::nullopt;
    }
    default:
        context.fail(path(), QStringLiteral("expected an integer, found %1").arg(typeName(element.type())));
        return std::nullopt;
    }
}

// simdjson hands out string values as valid UTF-8 (the document was
// repaired before parsing).
QString fromUtf8(std::string_view text)
{
    return Utf8::textOfValid(QByteArrayView(text.data(), qsizetype(text.size())));
}

template<typename Path>
std::optional<QString> readString(simdjson::dom::element element, const Path &path, Context &context)
{
    std::string_view text;
    if (element.get_string().get(text) != simdjson::SUCCESS) {
        context.fail(path(), QStringLiteral("expected a string, found %1").arg(typeName(element.type())));
        return std::nullopt;
    }
    return fromUtf8(text);
}

template<typename Path>
std::optional<bool> readBoolean(simdjson::dom::element element, const Path &path, Context &context)
{
    bool value = false;
    if (element.get_bool().get(value) != simdjson::SUCCESS) {
        context.fail(path(), QStringLiteral("expected a boolean, found %1").arg(typeName(element.type())));
        return std::nullopt;
    }
    return value;
}

template<typename Path>
std::optional<QStringList> readStringList(simdjson::dom::element element, const Path &path, Context &context)
{
    simdjson::dom::array array;
    if (element.get_array().get(array) != simdjson::SUCCESS) {
        context.fail(path(), QStringLiteral("expected an array, found %1").arg(typeName(element.type())));
        return std::nullopt;
    }
    QStringList result;
    result.reserve(qsizetype(array.size()));
    qsizetype index = 0;
    for (simdjson::dom::element item : array) {
        std::string_view text;
        if (item.get_string().get(text) != simdjson::SUCCESS) {
            context.fail(indexPath(path(), index),
                         QStringLiteral("expected a string, found %1").arg(typeName(item.type())));
            return std::nullopt;
        }
        result.append(fromUtf8(text));
        ++index;
    }
    return result;
}

// The first eight bytes of key, zero-padded.
quint64 keyPrefix(std::string_view key)
{
    quint64 prefix = 0;
    if (key.size() >= sizeof(prefix)) {
        std::memcpy(&prefix, key.data(), sizeof(prefix));
        return prefix;
    }
    for (std::size_t i = 0; i < key.size(); ++i)
        prefix |= quint64(static_cast<unsigned char>(key[i])) << (8 * i);
    return prefix;
}

} // namespace

std::optional<qint64> integerValue(simdjson::dom::element element, const QString &path, Context &context)
{
    return readInteger(element, [&] { return path; }, context);
}

std::optional<QString> stringValue(simdjson::dom::element element, const QString &path, Context &context)
{
    return readString(element, [&] { return path; }, context);
}

std::optional<bool> booleanValue(simdjson::dom::element element, const QString &path, Context &context)
{
    return readBoolean(element, [&] { return path; }, context);
}

std::optional<QStringList> stringListValue(simdjson::dom::element element, const QString &path, Context &context)
{
    return readStringList(element, [&] { return path; }, context);
}

namespace {

bool sameKey(std::string_view a, quint64 aPrefix, std::string_view b, quint64 bPrefix)
{
    constexpr std::size_t prefixSize = sizeof(quint64);
    return aPrefix == bPrefix && a.size() == b.size()
        && (a.size() <= prefixSize || a.substr(prefixSize) == b.substr(prefixSize));
}

// The first slot to probe for a key; slots are a power of two.
std::size_t keySlot(std::string_view key, quint64 prefix, std::size_t slotMask)
{
    const quint64 last = key.empty() ? 0 : static_cast<unsigned char>(key.back());
    const quint64 mixed = (prefix ^ (quint64(key.size()) << 56) ^ (last << 48)) * 0x9E3779B97F4A7C15ULL;
    return std::size_t(mixed >> 32) & slotMask;
}

} // namespace

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
    constexpr std::size_t slotMask = std::size(decltype(m_index){}) - 1;
    static_assert((slotMask & (slotMask + 1)) == 0);
    for (const auto field : object) {
        const quint64 prefix = keyPrefix(field.key);
        const qsizetype position = m_members.size();
        m_members.append(Member{field.key, prefix, field.value});
        if (position >= indexCapacity)
            continue;
        for (std::size_t slot = keySlot(field.key, prefix, slotMask);; slot = (slot + 1) & slotMask) {
            if (m_index[slot] == 0) {
                m_index[slot] = quint8(position + 1);
                break;
            }
            const Member &other = m_members[m_index[slot] - 1];
            if (sameKey(other.key, other.prefix, field.key, prefix)) {
                m_index[slot] = quint8(position + 1); // the last occurrence wins
                break;
            }
        }
    }
}

std::optional<simdjson::dom::element> Object::find(std::string_view key) const
{
    const quint64 prefix = keyPrefix(key);
    if (m_members.size() > indexCapacity) {
        for (auto it = m_members.crbegin(); it != m_members.crend(); ++it) {
            if (sameKey(it->key, it->prefix, key, prefix))
                return it->value;
        }
        return std::nullopt;
    }
    constexpr std::size_t slotMask = std::size(decltype(m_index){}) - 1;
    for (std::size_t slot = keySlot(key, prefix, slotMask); m_index[slot] != 0; slot = (slot + 1) & slotMask) {
        const Member &member = m_members[m_index[slot] - 1];
        if (sameKey(member.key, member.prefix, key, prefix))
            return member.value;
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
    return readString(*element, [&] { return childPath(m_path, key); }, m_context).value_or(QString());
}

std::optional<QString> Object::optionalString(std::string_view key)
{
    const auto element = optional(key);
    if (!element)
        return std::nullopt;
    return readString(*element, [&] { return childPath(m_path, key); }, m_context);
}

qint64 Object::integer(std::string_view key)
{
    const auto element = required(key);
    if (!element)
        return 0;
    return readInteger(*element, [&] { return childPath(m_path, key); }, m_context).value_or(0);
}

std::optional<qint64> Object::optionalInteger(std::string_view key)
{
    const auto element = optional(key);
    if (!element)
        return std::nullopt;
    return readInteger(*element, [&] { return childPath(m_path, key); }, m_context);
}

bool Object::boolean(std::string_view key)
{
    const auto element = required(key);
    if (!element)
        return false;
    return readBoolean(*element, [&] { return childPath(m_path, key); }, m_context).value_or(false);
}

std::optional<bool> Object::optionalBoolean(std::string_view key)
{
    const auto element = optional(key);
    if (!element)
        return std::nullopt;
    return readBoolean(*element, [&] { return childPath(m_path, key); }, m_context);
}

QStringList Object::stringList(std::string_view key)
{
    const auto element = required(key);
    if (!element)
        return {};
    return readStringList(*element, [&] { return childPath(m_path, key); }, m_context).value_or(QStringList());
}

std::optional<QStringList> Object::optionalStringList(std::string_view key)
{
    const auto element = optional(key);
    if (!element)
        return std::nullopt;
    return readStringList(*element, [&] { return childPath(m_path, key); }, m_context);
}

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Exactly the JSON number grammar: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
bool isJsonNumber(QByteArrayView token)
{
    const qsizetype n = token.size();
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < n && isDigit(token[i]))
            ++i;
        return i > from;
    };
    if (i < n && token[i] == '-')
        ++i;
    if (i < n && token[i] == '0')
        ++i;
    else if (!digits())
        return false;
    if (i < n && token[i] == '.') {
        ++i;
        if (!digits())
            return false;
    }
    if (i < n && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < n && (token[i] == '+' || token[i] == '-'))
            ++i;
        if (!digits())
            return false;
    }
    return i == n;
}

// simdjson fails a whole document on a number it cannot hold (an integer
// beyond 64 bits, a magnitude beyond a double), even under a key ReveZE
// ignores, where the platform's standard decoder reads the document. Each
// such number is replaced by 1e300 of the same sign: still a number to every
// type check and still out of range for every integer field, so a field that
// held it fails as before. Malformed numbers and strings are left alone.
QByteArray withRepresentableNumbers(QByteArrayView text)
{
    simdjson::dom::parser probe;
    QByteArray result;
    result.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = text[i];
        qsizetype end = i + 1;
        if (c == '"') {
            while (end < n && text[end] != '"')
                end += text[end] == '\\' ? 2 : 1;
            end = std::min(end + 1, n);
        } else if (c == '-' || isDigit(c)) {
            while (end < n && (isDigit(text[end]) || text[end] == '.' || text[end] == 'e' || text[end] == 'E'
                               || text[end] == '+' || text[end] == '-'))
                ++end;
            const QByteArrayView token = text.sliced(i, end - i);
            simdjson::dom::element ignored;
            if (isJsonNumber(token)
                && probe.parse(token.data(), size_t(token.size()), true).get(ignored) == simdjson::NUMBER_ERROR) {
                result.append(c == '-' ? "-1e300" : "1e300");
                i = end;
                continue;
            }
        }
        result.append(text.sliced(i, end - i));
        i = end;
    }
    return result;
}

} // namespace

bool parseDocument(QByteArrayView bytes, simdjson::dom::parser &parser, simdjson::dom::element &root, QString *error)
{
    // A UTF-8 byte-order mark at the very start is skipped, as the platform's
    // standard decoder does; anywhere else it is not white space.
    QByteArrayView text = bytes;
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
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
    // simdjson validates UTF-8 while it parses, so valid output (nearly all
    // of it) is read in one pass; only output it rejects as invalid UTF-8 is
    // repaired and parsed again. The outcome is the one of parsing the
    // repaired text directly: the repair changes no byte below 0x80, and the
    // only errors simdjson reports ahead of invalid UTF-8 (an unclosed string,
    // an unescaped control character) depend on such bytes alone.
    auto code = parser.parse(text.data(), size_t(text.size()), true).get(root);
    QByteArray repaired;
    if (code == simdjson::UTF8_ERROR) {
        repaired = Utf8::repaired(text.toByteArray());
        text = repaired;
        code = parser.parse(text.data(), size_t(text.size()), true).get(root);
    }
    if (code == simdjson::NUMBER_ERROR) {
        const QByteArray held = withRepresentableNumbers(text);
        if (held != text)
            code = parser.parse(held.constData(), size_t(held.size()), true).get(root);
    }
    if (code != simdjson::SUCCESS) {
        if (error)
            *error = QStringLiteral("invalid JSON (%1)").arg(QString::fromUtf8(simdjson::error_message(code)));
        return false;
    }
    return true;
}

} // namespace ZelkKit::Json
