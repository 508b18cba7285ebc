#include "InstallLog.h"

#include <WorkerPool.h>

#include <QHashFunctions>
#include <QRandomGenerator>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace ReveZE {

namespace {
// Below this many lines freeing on the spot is cheaper than a worker.
constexpr qsizetype freeOffThreadFrom = 2 * InstallLog::chunkSize;
} // namespace

LogLine LogLine::make(QString text, bool isError)
{
    // A version-4 identifier from the fast generator: QUuid::createUuid asks
    // the kernel for randomness on every call, a million times per long run.
    quint64 words[2];
    QRandomGenerator::global()->fillRange(words);
    QByteArray bytes(reinterpret_cast<const char *>(words), sizeof words);
    bytes[6] = char((bytes[6] & 0x0f) | 0x40);
    bytes[8] = char((bytes[8] & 0x3f) | 0x80);
    return LogLine{QUuid::fromRfc4122(bytes), std::move(text), isError};
}

size_t qHash(const LogLine &line, size_t seed)
{
    return qHashMulti(seed, line.id, line.text, line.isError);
}

InstallLog::InstallLog(const QList<LogLine> &lines)
{
    for (const LogLine &line : lines)
        append(line);
}

InstallLog::InstallLog(const InstallLog &other)
    : m_full(other.m_full),
      m_open(other.m_open ? std::make_shared<Chunk>(*other.m_open) : nullptr),
      m_size(other.m_size)
{
    if (m_open)
        m_open->reserve(chunkSize);
}

InstallLog &InstallLog::operator=(const InstallLog &other)
{
    if (this != &other) {
        InstallLog copy(other);
        *this = std::move(copy);
    }
    return *this;
}

InstallLog &InstallLog::operator=(InstallLog &&other) noexcept
{
    if (this != &other) {
        releaseOffThread();
        m_full = std::move(other.m_full);
        m_open = std::move(other.m_open);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

InstallLog::~InstallLog()
{
    releaseOffThread();
}

const LogLine &InstallLog::at(qsizetype index) const
{
    Q_ASSERT(index >= 0 && index < m_size);
    const qsizetype chunk = index / chunkSize;
    const qsizetype offset = index % chunkSize;
    if (chunk < qsizetype(m_full.size()))
        return (*m_full[std::size_t(chunk)])[std::size_t(offset)];
    return (*m_open)[std::size_t(offset)];
}

void InstallLog::append(LogLine line)
{
    if (!m_open) {
        m_open = std::make_shared<Chunk>();
        m_open->reserve(chunkSize);
    }
    m_open->push_back(std::move(line));
    ++m_size;
    if (qsizetype(m_open->size()) == chunkSize)
        m_full.push_back(std::shared_ptr<const Chunk>(std::move(m_open)));
}

void InstallLog::clear()
{
    releaseOffThread();
}

void InstallLog::releaseOffThread()
{
    if (m_size >= freeOffThreadFrom) {
        (void)ZelkKit::runInBackground([full = std::move(m_full), open = std::move(m_open)]() mutable {
            full.clear();
            open.reset();
        });
    }
    m_full.clear();
    m_open.reset();
    m_size = 0;
}

QList<LogLine> InstallLog::toList() const
{
    QList<LogLine> lines;
    lines.reserve(m_size);
    for (const LogLine &line : *this)
        lines.append(line);
    return lines;
}

QStringList InstallLog::texts() const
{
    QStringList texts;
    texts.reserve(m_size);
    for (const LogLine &line : *this)
        texts.append(line.text);
    return texts;
}

bool operator==(const InstallLog &a, const InstallLog &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

bool operator==(const InstallLog &a, const QList<LogLine> &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

} // namespace ReveZE
