// Fuzzes the package-name rules of the install sheet: whatever is typed,
// the positions of refused characters must point at real characters of the
// text, in order, and the three verdicts must agree with each other.
#include "PackageNameRules.h"

#include <QString>
#include <QStringList>
#include <QTextBoundaryFinder>

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

// Counted here with Qt directly rather than through zelkkit's own helper, so
// that a fault in that helper cannot hide itself.
QList<QString> clusters(const QString &text)
{
    QList<QString> result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end > start; end = finder.toNextBoundary()) {
        result.append(text.sliced(start, end - start));
        start = end;
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QString> characters = clusters(text);

    const QList<PackageNameRules::Problem> problems = PackageNameRules::problems(text);
    qsizetype previous = -1;
    for (const PackageNameRules::Problem &problem : problems) {
        check(problem.position > previous);
        check(problem.position < characters.size());
        check(problem.character == characters.at(problem.position));
        check(!PackageNameRules::isAllowed(problem.character));
        previous = problem.position;
    }

    const QStringList entries = PackageNameRules::entries(text);
    qsizetype total = 0;
    for (const QString &entry : entries) {
        check(!entry.isEmpty());
        check(text.contains(entry));
        total += entry.size();
    }
    check(total <= text.size());

    const bool valid = PackageNameRules::isValid(text);
    if (valid) {
        check(problems.isEmpty());
        check(!entries.isEmpty());
        for (const QString &entry : entries)
            check(!PackageNameRules::startsBadly(entry));
    }
    check(PackageNameRules::hasProblem(text) == (!entries.isEmpty() && !valid));
    return 0;
}
