#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstring>

namespace ZelkKit {

// Splits a byte stream at line feeds, whatever the chunking: a line split
// across chunks comes out once, complete; a carriage return before the line
// feed stays part of the line; finish() hands over a last line that has no
// line feed.
class LineSplitter
{
public:
    template<typename OnLine>
    void feed(QByteArrayView chunk, OnLine onLine)
    {
        const char *data = chunk.data();
        const qsizetype size = chunk.size();
        qsizetype start = 0;
        while (start < size) {
            const void *hit = std::memchr(data + start, '\n', size_t(size - start));
            if (!hit)
                break;
            const qsizetype end = static_cast<const char *>(hit) - data;
            if (m_pending.isEmpty()) {
                onLine(QByteArrayView(data + start, end - start));
            } else {
                m_pending.append(data + start, end - start);
                onLine(QByteArrayView(m_pending));
                m_pending.clear();
            }
            start = end + 1;
        }
        if (start < size)
            m_pending.append(data + start, size - start);
    }

    template<typename OnLine>
    void finish(OnLine onLine)
    {
        if (!m_pending.isEmpty()) {
            const QByteArray last = std::move(m_pending);
            m_pending = QByteArray();
            onLine(QByteArrayView(last));
        }
    }

    bool hasPending() const { return !m_pending.isEmpty(); }

private:
    QByteArray m_pending;
};

} // namespace ZelkKit
