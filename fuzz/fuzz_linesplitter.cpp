// Fuzzes the splitting of a streamed operation's standard output into lines,
// whatever chunks the pipe delivers. The first byte gives how many of the
// following bytes are chunk sizes (each 1 to 256, used in turn); the rest is
// the output.
//
// The lines must be the same as from one-shot splitting and as from a plain
// split at line feeds (a last piece without a line feed counts when it is
// not empty), and so must the events decoded from them.
#include "LineSplitter.h"
#include "ZelkEvent.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace ZelkKit;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QList<QByteArray> splitInChunks(QByteArrayView content, const QList<qsizetype> &sizes)
{
    QList<QByteArray> lines;
    const auto onLine = [&lines](QByteArrayView line) { lines.append(line.toByteArray()); };
    LineSplitter splitter;
    qsizetype from = 0;
    qsizetype turn = 0;
    while (from < content.size()) {
        const qsizetype size = sizes.isEmpty() ? content.size() : std::min(sizes.at(turn++ % sizes.size()),
                                                                           content.size() - from);
        splitter.feed(content.sliced(from, size), onLine);
        from += size;
        // Something is held back exactly when the output so far does not
        // end in a line feed.
        check(splitter.hasPending() == (content.at(from - 1) != '\n'));
    }
    splitter.finish(onLine);
    check(!splitter.hasPending());
    return lines;
}

QList<std::optional<ZelkEvent>> eventsOf(const QList<QByteArray> &lines)
{
    QList<std::optional<ZelkEvent>> events;
    for (const QByteArray &line : lines)
        events.append(ZelkEvent::fromLine(line));
    return events;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype sizeCount = std::min<qsizetype>(data[0] % 16, qsizetype(size) - 1);
    QList<qsizetype> sizes;
    for (qsizetype i = 0; i < sizeCount; ++i)
        sizes.append(qsizetype(data[1 + i]) + 1);
    const QByteArrayView content(reinterpret_cast<const char *>(data) + 1 + sizeCount,
                                 qsizetype(size) - 1 - sizeCount);

    QList<QByteArray> expected = content.toByteArray().split('\n');
    if (expected.last().isEmpty())
        expected.removeLast();

    const QList<QByteArray> oneShot = splitInChunks(content, {});
    const QList<QByteArray> chunked = splitInChunks(content, sizes);
    check(oneShot == expected);
    check(chunked == expected);
    for (const QByteArray &line : chunked)
        check(!line.contains('\n'));
    check(eventsOf(chunked) == eventsOf(oneShot));
    return 0;
}
