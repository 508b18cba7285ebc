#pragma once

// `zelk-sim generate`: writes a large state directory for benchmarks, with N
// catalog packages and M of them installed, dependencies between installed
// packages, some outdated packages and a stale index. The same options always
// give the same files, byte for byte, so figures measured on two machines
// describe the same data.

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
        QString out;
    };

    // Parses "--catalog N --installed M --out DIR [--seed S]", writes the
    // tree and returns the exit status.
    static int run(const QStringList &arguments);

    // Writes the tree; throws StateError when it cannot.
    static void write(const Options &options);
};

} // namespace ZelkSim
