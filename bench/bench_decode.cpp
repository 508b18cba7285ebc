// How much the strict record layer costs on top of simdjson, and how fast
// progress lines decode.
//
// - A catalog document of 100,000 packages (about 16 MB) and an install status
//   of 10,000 packages, generated here deterministically: the bare simdjson
//   parse, the full Json::decodeDocument into records, and their ratio
//   (goal: decode at most 3 x the bare parse).
// - 1,000,000 progress lines of the nine kinds (about 10% progress) split at
//   line feeds and decoded by ZelkEvent::fromLine, end to end
//   (goal: at least 300,000 events/s).
//
// Each figure is the median of several runs. A third figure per document
// parses and makes a QString of every JSON string, nothing more: the floor
// for records whose text fields are QStrings.

#include "InstallStatus.h"
#include "Json.h"
#include "Models.h"
#include "Utf8.h"
#include "ZelkEvent.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>

using namespace ZelkKit;

namespace {

// A small deterministic generator, so every run measures the same bytes.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint32_t next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return std::uint32_t(m_state >> 33);
    }
    std::uint32_t below(std::uint32_t limit) { return next() % limit; }

private:
    std::uint64_t m_state;
};

const char *const words[] = {
    "fast", "command-line", "tool", "for", "parsing", "JSON", "and", "YAML", "files", "with", "a", "small",
    "library", "that", "renders", "images", "network", "client", "compression", "utility", "written", "in",
    "portable", "C", "secure", "shell", "text", "editor", "terminal", "multiplexer", "version", "control",
    "system", "database", "driver", "font", "rendering", "engine", "audio", "codec", "build", "generator",
};
constexpr int wordCount = int(sizeof(words) / sizeof(words[0]));

void appendWords(QByteArray &out, Random &random, int count)
{
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            out += ' ';
        out += words[random.below(wordCount)];
    }
}

QByteArray version(Random &random)
{
    return QByteArray::number(random.below(9) + 1) + '.' + QByteArray::number(random.below(30)) + '.'
        + QByteArray::number(random.below(20));
}

// 64 hex digits, different for every package as real checksums are.
QByteArray sha256Text(Random &random)
{
    QByteArray out;
    for (int i = 0; i < 8; ++i)
        out += QByteArray::number(random.next() | 0x10000000u, 16);
    return out;
}

QByteArray packageName(int index)
{
    return "pkg-" + QByteArray::number(index) + "-" + words[index % wordCount];
}

QByteArray catalogDocument(int packages)
{
    Random random(20240309);
    QByteArray out;
    out.reserve(packages * 170);
    out += R"({"schema":3,"generated_at":"2024-03-09T08:15:00Z","packages":[)";
    for (int i = 0; i < packages; ++i) {
        if (i > 0)
            out += ',';
        const QByteArray latest = version(random);
        out += R"({"name":")" + packageName(i) + R"(","description":")";
        appendWords(out, random, 4 + int(random.below(7)));
        out += R"(","kind":")";
        out += random.below(5) == 0 ? "deps" : "pkg";
        out += R"(","latest":")" + latest + R"(","versions":[")" + latest + R"(",")" + version(random) + R"(",")"
            + version(random) + R"("]})";
    }
    out += "]}";
    return out;
}

QByteArray installStatusDocument(int packages)
{
    Random random(7);
    QByteArray out;
    out.reserve(packages * 700);
    out += R"({"base_dir":"/opt/rurirud","packages":[)";
    for (int i = 0; i < packages; ++i) {
        if (i > 0)
            out += ',';
        const QByteArray name = packageName(i);
        const QByteArray current = version(random);
        out += R"({"name":")" + name + R"(","version":")" + current + R"(","versions":[")" + current + R"("],)";
        out += R"("kind":")";
        out += random.below(3) == 0 ? "dep" : "pkg";
        out += R"(","requested":true,"installed_at":"2024-0)" + QByteArray::number(random.below(9) + 1) + "-1"
            + QByteArray::number(random.below(9)) + "T0" + QByteArray::number(random.below(10)) + ":1"
            + QByteArray::number(random.below(6)) + ":" + QByteArray::number(random.below(5) + 10)
            + R"(Z","arch":"x86_64","tree":false,)";
        out += R"("linked":true,"linked_version":")" + current + R"(","commands":[")" + name + R"("],"deps":[)";
        const int deps = int(random.below(4));
        for (int d = 0; d < deps; ++d) {
            if (d > 0)
                out += ',';
            out += '"' + packageName(int(random.below(std::uint32_t(packages)))) + '@' + version(random) + '"';
        }
        out += R"(],"path":"/opt/rurirud/pkgs/)" + name + '/' + current + R"(","size_bytes":)"
            + QByteArray::number(random.below(100000000)) + R"(,"file":")" + name + '-' + current
            + R"(.tar.zst","sha256":")" + sha256Text(random) + R"(",)"
            + R"("source":"https://mirror.example.org/zelk","installed_by":"zelk 1.4.0","installed_by_user":"alice"})";
    }
    out += "]}";
    return out;
}

QByteArray progressLines(int count)
{
    Random random(42);
    QByteArray out;
    out.reserve(qsizetype(count) * 90);
    for (int i = 0; i < count; ++i) {
        const QByteArray name = packageName(int(random.below(5000)));
        const std::uint32_t pick = random.below(100);
        if (pick < 10) {
            const std::uint32_t done = random.below(1000);
            out += R"({"event":"progress","step":"download","done":)" + QByteArray::number(done)
                + R"(,"total":1000,"percent":)" + QByteArray::number(done / 10) + '}';
        } else if (pick < 12) {
            out += R"({"event":"plan","steps":["resolve","download","verify","link"]})";
        } else if (pick < 30) {
            out += R"({"event":"step","name":"download","status":")";
            out += random.below(2) ? "start" : "done";
            out += R"("})";
        } else if (pick < 45) {
            out += R"({"event":"package","name":")" + name + R"(","status":"downloaded"})";
        } else if (pick < 60) {
            out += R"({"event":"status","package":")" + name + R"(","version":"2.1.0","state":"upgraded","from_version":"2.0.3"})";
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
    }
    return out;
}

// Median wall time of runs calls of work, in seconds; after each call,
// untimed, comes afterwards (for example freeing what work built).
double medianSeconds(int runs, const std::function<void()> &work, const std::function<void()> &afterwards = {})
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.append(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (afterwards)
            afterwards();
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

volatile std::size_t sink = 0;

// Every string of the document as a QString, nothing else: the least any
// record layer with QString fields must spend on top of the parse.
void collectStrings(simdjson::dom::element element, QList<QString> &out)
{
    using T = simdjson::dom::element_type;
    switch (element.type()) {
    case T::OBJECT: {
        const simdjson::dom::object object = element.get_object().value_unsafe();
        for (const auto field : object)
            collectStrings(field.value, out);
        break;
    }
    case T::ARRAY: {
        const simdjson::dom::array array = element.get_array().value_unsafe();
        for (const simdjson::dom::element item : array)
            collectStrings(item, out);
        break;
    }
    case T::STRING: {
        const std::string_view text = element.get_string().value_unsafe();
        out.append(Utf8::textOfValid(QByteArrayView(text.data(), qsizetype(text.size()))));
        break;
    }
    default:
        break;
    }
}

template<typename T, typename Decode>
void compareDocument(const char *title, const QByteArray &bytes, int runs, Decode decode,
                     const std::function<std::size_t(const T &)> &count)
{
    const simdjson::padded_string padded(bytes.constData(), std::size_t(bytes.size()));
    simdjson::dom::parser parser;
    const double parse = medianSeconds(runs, [&] {
        simdjson::dom::element root;
        if (parser.parse(padded).get(root) != simdjson::SUCCESS)
            std::abort();
        sink = sink + std::size_t(root.type());
    });
    std::size_t records = 0;
    std::optional<T> value;
    // Freeing the records of a run is not part of decoding; it happens
    // between runs.
    const double full = medianSeconds(
        runs,
        [&] {
            QString error;
            value = Json::decodeDocument<T>(bytes, decode, &error);
            if (!value) {
                std::fprintf(stderr, "decode failed: %s\n", qPrintable(error));
                std::abort();
            }
            records = count(*value);
            sink = sink + records;
        },
        [&] { value.reset(); });
    QList<QString> strings;
    const double floor = medianSeconds(
        runs,
        [&] {
            simdjson::dom::element root;
            if (parser.parse(padded).get(root) != simdjson::SUCCESS)
                std::abort();
            strings.reserve(qsizetype(bytes.size() / 16));
            collectStrings(root, strings);
            sink = sink + std::size_t(strings.size());
        },
        [&] { strings = QList<QString>(); });
    const double megabytes = double(bytes.size()) / 1e6;
    std::printf("%s: %.1f MB, %zu records\n", title, megabytes, records);
    std::printf("  bare simdjson parse   %8.2f ms  (%6.0f MB/s)\n", parse * 1e3, megabytes / parse);
    std::printf("  parse + only QStrings %8.2f ms  (%6.0f MB/s, %.2f x parse: the floor for QString fields)\n",
                floor * 1e3, megabytes / floor, floor / parse);
    std::printf("  decode into records   %8.2f ms  (%6.0f MB/s)\n", full * 1e3, megabytes / full);
    std::printf("  ratio decode / parse  %8.2f x   (goal <= 3.00)\n", full / parse);
}

void lineDecoding(int lineCount, int runs)
{
    const QByteArray stream = progressLines(lineCount);
    std::size_t events = 0;
    const double seconds = medianSeconds(runs, [&] {
        events = 0;
        const char *data = stream.constData();
        const char *const end = data + stream.size();
        while (data < end) {
            const void *found = std::memchr(data, '\n', std::size_t(end - data));
            const char *lineEnd = found ? static_cast<const char *>(found) : end;
            if (ZelkEvent::fromLine(QByteArrayView(data, lineEnd - data)))
                ++events;
            data = lineEnd + 1;
        }
        sink = sink + events;
    });
    std::printf("progress lines: %d lines, %.1f MB, %zu events\n", lineCount, double(stream.size()) / 1e6, events);
    std::printf("  ZelkEvent::fromLine   %8.2f ms  (%.0f lines/s, goal >= 300000)\n", seconds * 1e3,
                double(lineCount) / seconds);
}

} // namespace

int main()
{
    compareDocument<CatalogDocument>(
        "catalog, 100000 packages", catalogDocument(100000), 11, &CatalogDocument::fromJson,
        [](const CatalogDocument &d) { return std::size_t(d.packages.size()); });
    compareDocument<InstallStatus>(
        "install status, 10000 packages", installStatusDocument(10000), 21, &InstallStatus::fromJson,
        [](const InstallStatus &s) { return std::size_t(s.packages.size()); });
    lineDecoding(1000000, 5);
    return 0;
}
