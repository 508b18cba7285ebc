#pragma once

// `zelk-sim generate`: writes a large state directory for benchmarks, with N
// catalog packages and M of them installed, dependencies between installed
// packages, some outdated packages and a stale index. The same options always
// give the same files, byte for byte, so figures measured on two machines
// describe the same data.
//
// With --hub-dependents N and/or --hub-dependencies M one more installed
// library, "libhub", is added at the end: it depends on the first M installed
// packages and the last N installed packages depend on it (N + M must not
// exceed the installed count, so that no cycle arises). It is the package
// whose detail has the longest lists.

#include <QString>
#include <QStringList>

namespace ZelkSim {

class StateGenerator
{
public:
    struct Options {
        qsizetype catalog = 1000;
        qsizetype installed = 100;
        quint64 seed = 1;
        qsizetype hubDependents = 0;
        qsizetype hubDependencies = 0;
        QString out;

        bool hasHub() const { return hubDependents > 0 || hubDependencies > 0; }
    };

    // The name of the hub package.
    static QString hubName();

    // Parses "--catalog N --installed M --out DIR [--seed S]
    // [--hub-dependents N] [--hub-dependencies M]", writes the tree and
    // returns the exit status.
    static int run(const QStringList &arguments);

    // Writes the tree; throws StateError when it cannot.
    static void write(const Options &options);
};

} // namespace ZelkSim
