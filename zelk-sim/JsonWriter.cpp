#include "JsonWriter.h"

namespace ZelkSim {

namespace {

void appendEscaped(QByteArray &out, std::string_view utf8)
{
    static const char hex[] = "0123456789abcdef";
    out.reserve(out.size() + qsizetype(utf8.size()) + 2);
    out.append('"');
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (byte) {
        case '"':
            out.append("\\\"", 2);
            break;
        case '\\':
            out.append("\\\\", 2);
            break;
        case '\n':
            out.append("\\n", 2);
            break;
        case '\r':
            out.append("\\r", 2);
            break;
        case '\t':
            out.append("\\t", 2);
            break;
        default:
            if (byte < 0x20) {
                out.append("\\u00", 4);
                out.append(hex[byte >> 4]);
                out.append(hex[byte & 0xF]);
            } else {
                out.append(c);
            }
        }
    }
    out.append('"');
}

void appendEscaped(QByteArray &out, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    appendEscaped(out, std::string_view(utf8.constData(), size_t(utf8.size())));
}

} // namespace

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasMember.isEmpty()) {
        if (m_hasMember.last())
            m_out.append(',');
        m_hasMember.last() = true;
    }
    if (m_pendingBreak) {
        m_out.append('\n');
        m_pendingBreak = false;
    }
}

void JsonWriter::closeContainer(char bracket)
{
    m_hasMember.removeLast();
    if (m_pendingBreak) {
        m_out.append('\n');
        m_pendingBreak = false;
    }
    m_out.append(bracket);
}

JsonWriter &JsonWriter::beginObject()
{
    beforeValue();
    m_out.append('{');
    m_hasMember.append(false);
    return *this;
}

JsonWriter &JsonWriter::endObject()
{
    closeContainer('}');
    return *this;
}

JsonWriter &JsonWriter::beginArray()
{
    beforeValue();
    m_out.append('[');
    m_hasMember.append(false);
    return *this;
}

JsonWriter &JsonWriter::endArray()
{
    closeContainer(']');
    return *this;
}

JsonWriter &JsonWriter::key(std::string_view name)
{
    beforeValue();
    appendEscaped(m_out, name);
    m_out.append(':');
    m_afterKey = true;
    return *this;
}

JsonWriter &JsonWriter::string(const QString &text)
{
    beforeValue();
    appendEscaped(m_out, text);
    return *this;
}

JsonWriter &JsonWriter::integer(qint64 number)
{
    beforeValue();
    m_out.append(QByteArray::number(number));
    return *this;
}

JsonWriter &JsonWriter::boolean(bool flag)
{
    beforeValue();
    m_out.append(flag ? "true" : "false");
    return *this;
}

JsonWriter &JsonWriter::strings(const QStringList &list)
{
    beginArray();
    for (const QString &text : list)
        string(text);
    return endArray();
}

JsonWriter &JsonWriter::optionalField(std::string_view name, const QString &text)
{
    if (!text.isEmpty())
        field(name, text);
    return *this;
}

JsonWriter &JsonWriter::lineBreak()
{
    m_pendingBreak = true;
    return *this;
}

} // namespace ZelkSim
