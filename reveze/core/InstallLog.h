#pragma once

// The log of one install run: every LogLine in the order produced, appended
// to and never changed. A run of a million events makes a million lines, so
// the lines live in fixed-size chunks rather than one growing array: an
// append never moves the lines before it (a QList of a million lines would
// copy tens of MB on the GUI thread each time it grows), and a reference to
// a line stays valid while the log grows.
//
// Full chunks are immutable and shared, so a snapshot (for the report built
// off the GUI thread) costs a copy of the last, partly filled chunk only.
// clear() and the destructor hand large storage to a worker thread to free.

#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <memory>
#include <vector>

namespace ReveZE {

// One line of a run's log.
struct LogLine {
    QUuid id;
    QString text;
    bool isError = false;

    // A line with a fresh random identifier.
    static LogLine make(QString text, bool isError);
    friend bool operator==(const LogLine &, const LogLine &) = default;
};
size_t qHash(const LogLine &line, size_t seed = 0);

class InstallLog
{
public:
    static constexpr qsizetype chunkSize = 4096;

    InstallLog() = default;
    InstallLog(const QList<LogLine> &lines);
    // Copies share the full chunks.
    InstallLog(const InstallLog &other);
    InstallLog &operator=(const InstallLog &other);
    InstallLog(InstallLog &&other) noexcept = default;
    InstallLog &operator=(InstallLog &&other) noexcept;
    ~InstallLog();

    qsizetype size() const { return m_size; }
    qsizetype count() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const LogLine &at(qsizetype index) const;
    const LogLine &operator[](qsizetype index) const { return at(index); }
    const LogLine &first() const { return at(0); }
    const LogLine &last() const { return at(m_size - 1); }
    const LogLine &constFirst() const { return first(); }
    const LogLine &constLast() const { return last(); }

    void append(LogLine line);
    // Empties the log; large storage is freed on a worker thread.
    void clear();

    QList<LogLine> toList() const;
    // The texts of the lines, in order.
    QStringList texts() const;

    class const_iterator
    {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = LogLine;
        using difference_type = qsizetype;
        using pointer = const LogLine *;
        using reference = const LogLine &;

        const_iterator() = default;
        const_iterator(const InstallLog *log, qsizetype index) : m_log(log), m_index(index) {}
        reference operator*() const { return m_log->at(m_index); }
        pointer operator->() const { return &m_log->at(m_index); }
        const_iterator &operator++() { ++m_index; return *this; }
        const_iterator operator++(int) { const_iterator old = *this; ++m_index; return old; }
        const_iterator &operator--() { --m_index; return *this; }
        const_iterator &operator+=(difference_type n) { m_index += n; return *this; }
        const_iterator operator+(difference_type n) const { return {m_log, m_index + n}; }
        difference_type operator-(const const_iterator &other) const { return m_index - other.m_index; }
        friend bool operator==(const const_iterator &, const const_iterator &) = default;

    private:
        const InstallLog *m_log = nullptr;
        qsizetype m_index = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, m_size}; }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }

    friend bool operator==(const InstallLog &a, const InstallLog &b);
    friend bool operator==(const InstallLog &a, const QList<LogLine> &b);

private:
    using Chunk = std::vector<LogLine>;
    void releaseOffThread();

    std::vector<std::shared_ptr<const Chunk>> m_full;
    std::shared_ptr<Chunk> m_open;
    qsizetype m_size = 0;
};

} // namespace ReveZE
