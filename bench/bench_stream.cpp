// The progress event stream end to end: 1,000,000 progress lines (the nine
// kinds, about 10% progress) written by a child process through a pipe,
// split, decoded and delivered by ZelkCLI::stream to a reader, beside the bare
// rate of splitting and decoding the same bytes in memory (LineSplitter +
// ZelkEvent::fromLine) in the same run.
//
// Goals: at least 300,000 events/s end to end, and end to end within 3 x the
// bare rate. Readers are measured both ways the stream offers: one event per
// next(), and nextBatch() as the install runner reads. Each figure is the
// median of several runs.

#include "LineSplitter.h"
#include "ZelkCLI.h"
#include "ZelkEvent.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

using namespace ZelkKit;

namespace {

constexpr int lineCount = 1000000;
constexpr int runs = 5;

class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint32_t below(std::uint32_t limit)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return std::uint32_t(m_state >> 33) % limit;
    }

private:
    std::uint64_t m_state;
};

// What an install of many packages prints, one object per line.
QByteArray progressLines(int count, std::size_t *events)
{
    Random random(7);
    QByteArray out;
    out.reserve(qsizetype(count) * 100);
    *events = 0;
    for (int i = 0; i < count; ++i) {
        const QByteArray name = "package-" + QByteArray::number(random.below(5000));
        const std::uint32_t pick = random.below(100);
        if (pick < 10) {
            const std::uint32_t done = random.below(1 << 20);
            out += R"({"event":"progress","step":"download","done":)" + QByteArray::number(done)
                + R"(,"total":1048576,"percent":)" + QByteArray::number(done * 100 / (1 << 20)) + '}';
        } else if (pick < 12) {
            out += R"({"event":"plan","steps":["resolve","download","verify","link"]})";
        } else if (pick < 30) {
            out += R"({"event":"step","name":"download","status":")" + QByteArray(random.below(2) ? "start" : "done")
                + R"("})";
        } else if (pick < 45) {
            out += R"({"event":"package","name":")" + name + R"(","status":"downloaded"})";
        } else if (pick < 60) {
            out += R"({"event":"status","package":")" + name
                + R"(","version":"2.1.0","state":"upgraded","from_version":"2.0.3"})";
        } else if (pick < 65) {
            out += R"({"event":"summary","upgraded":[")" + name + R"("],"unchanged":["zlib","openssl"],"failed":[]})";
        } else if (pick < 85) {
            out += R"({"event":"done","package":")" + name + R"(","version":"2.1.0","bin":"/opt/rurirud/bin/)" + name
                + R"(","linked":true})";
        } else if (pick < 90) {
            out += R"({"event":"error","message":"checksum mismatch for )" + name
                + R"(","hint":["run zelk index refresh","check the mirror"],"code":"E_CHECKSUM"})";
        } else {
            out += R"({"event":"heartbeat","at":)" + QByteArray::number(i) + '}';
        }
        out += '\n';
        ++*events;
    }
    return out;
}

double seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Split and decode in memory, in pipe-sized chunks.
std::size_t bareRun(const QByteArray &bytes)
{
    std::size_t events = 0;
    LineSplitter splitter;
    const auto onLine = [&events](QByteArrayView line) {
        if (ZelkEvent::fromLine(line))
            ++events;
    };
    constexpr qsizetype chunk = 65536;
    for (qsizetype from = 0; from < bytes.size(); from += chunk)
        splitter.feed(QByteArrayView(bytes).sliced(from, std::min(chunk, bytes.size() - from)), onLine);
    splitter.finish(onLine);
    return events;
}

QCoro::Task<std::size_t> readEach(ZelkEventStream *stream)
{
    std::size_t events = 0;
    while (co_await stream->next())
        ++events;
    co_return events;
}

QCoro::Task<std::size_t> readBatches(ZelkEventStream *stream)
{
    std::size_t events = 0;
    for (;;) {
        const QList<ZelkEvent> batch = co_await stream->nextBatch();
        if (batch.isEmpty())
            break;
        events += std::size_t(batch.size());
    }
    co_return events;
}

// Benchmarks may spin an event loop; ReveZE itself never does.
std::size_t runToEnd(QCoro::Task<std::size_t> task)
{
    std::size_t result = 0;
    bool done = false;
    QEventLoop loop;
    auto drive = [&]() -> QCoro::Task<> {
        result = co_await std::move(task);
        done = true;
        loop.quit();
    };
    auto driver = drive();
    if (!done)
        loop.exec();
    return result;
}

std::size_t streamRun(const QString &file, bool batches)
{
    std::unique_ptr<ZelkEventStream> stream = ZelkCLI(QStringLiteral(PRINT_FILE_PATH)).stream({file});
    const std::size_t events = runToEnd(batches ? readBatches(stream.get()) : readEach(stream.get()));
    if (stream->error()) {
        std::fprintf(stderr, "stream failed: %s\n", qPrintable(stream->error()->errorDescription()));
        return 0;
    }
    return events;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    std::size_t expected = 0;
    const QByteArray bytes = progressLines(lineCount, &expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("events.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 1;
    file.close();
    std::printf("progress stream: %d lines, %.1f MB, %zu events, child %s\n", lineCount, double(bytes.size()) / 1e6,
                expected, PRINT_FILE_PATH);

    std::vector<double> bare, each, batched;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (bareRun(bytes) != expected)
            return 2;
        bare.push_back(seconds(start));

        start = std::chrono::steady_clock::now();
        if (streamRun(path, false) != expected)
            return 3;
        each.push_back(seconds(start));

        start = std::chrono::steady_clock::now();
        if (streamRun(path, true) != expected)
            return 4;
        batched.push_back(seconds(start));
    }

    const double bareRate = double(expected) / median(bare);
    const double eachRate = double(expected) / median(each);
    const double batchRate = double(expected) / median(batched);
    std::printf("  bare split + fromLine        %10.0f events/s (%.3f s)\n", bareRate, median(bare));
    std::printf("  stream, next() per event     %10.0f events/s (%.3f s)  bare/stream %.2f x\n", eachRate,
                median(each), bareRate / eachRate);
    std::printf("  stream, nextBatch()          %10.0f events/s (%.3f s)  bare/stream %.2f x\n", batchRate,
                median(batched), bareRate / batchRate);
    const bool met = std::min(eachRate, batchRate) >= 300000 && bareRate / std::min(eachRate, batchRate) <= 3.0;
    std::printf("  goal (>= 300,000 events/s end to end, within 3 x bare): %s\n", met ? "met" : "MISSED");
    return 0;
}
