// zelk-sim: a stand-in `zelk` over a state directory (see README.md).

#include "EventWriter.h"
#include "OperationRunner.h"
#include "Pace.h"
#include "QueryCommands.h"
#include "StateGenerator.h"
#include "StateStore.h"

#include <QCoreApplication>

#include <functional>

using namespace ZelkSim;

namespace {

const char usageText[] =
    "usage: zelk <command> [options]\n"
    "\n"
    "queries:\n"
    "  version [--json]              this zelk, its protocol and capabilities\n"
    "  list [--json]                 installed packages and their versions\n"
    "  status [--json]               installed packages in detail\n"
    "  catalog [--json]              every package of the index\n"
    "  outdated [--json]             installed packages with a newer version\n"
    "  info NAME [--json]            what the index says about a package\n"
    "  search (TEXT | --all) [--json]\n"
    "  mirror [get] [--json]         the data sources (passwords masked)\n"
    "  basedir [--raw]               the install root\n"
    "  index status [--json]         the state of the local index\n"
    "  index refresh                 fetch the index again\n"
    "  doctor [--raw]                check the install tree; exit status = findings\n"
    "  linkquery (NAME | --all) [--raw]\n"
    "\n"
    "operations:\n"
    "  install NAME...    [--continue] [--max-time T] [--content-time T]\n"
    "                     [--connect-timeout T] [--yes] [--skip-ssl] [-F|--force]\n"
    "                     [--json-progress]\n"
    "  upgrade (NAME... | --all) [--remove-old-versions] and the options above\n"
    "  reinstall NAME...  and the options above\n"
    "\n"
    "zelk-sim only:\n"
    "  generate --catalog N --installed M --out DIR [--seed S]\n"
    "           [--hub-dependents D] [--hub-dependencies E]\n"
    "\n"
    "The state lives in $ZELK_SIM_STATE; ZELK_SIM_DELAY_MS sets the pace of\n"
    "operations, ZELK_SIM_INFO_DELAY_MS the time `info` takes.\n";

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);

    if (command == QLatin1String("help") || command == QLatin1String("--help") || command == QLatin1String("-h")) {
        printOut(QString::fromLatin1(usageText));
        return 0;
    }
    if (command.isEmpty()) {
        printErr(QString::fromLatin1(usageText));
        return 2;
    }
    if (command == QLatin1String("generate"))
        return StateGenerator::run(rest);

    using Query = int (QueryCommands::*)(const QStringList &);
    static const QHash<QString, Query> queries{
        {QStringLiteral("version"), &QueryCommands::version},
        {QStringLiteral("--version"), &QueryCommands::version},
        {QStringLiteral("list"), &QueryCommands::list},
        {QStringLiteral("status"), &QueryCommands::status},
        {QStringLiteral("catalog"), &QueryCommands::catalog},
        {QStringLiteral("outdated"), &QueryCommands::outdated},
        {QStringLiteral("info"), &QueryCommands::info},
        {QStringLiteral("search"), &QueryCommands::search},
        {QStringLiteral("mirror"), &QueryCommands::mirror},
        {QStringLiteral("basedir"), &QueryCommands::basedir},
        {QStringLiteral("index"), &QueryCommands::index},
        {QStringLiteral("doctor"), &QueryCommands::doctor},
        {QStringLiteral("linkquery"), &QueryCommands::linkquery},
    };
    const bool operation = command == QLatin1String("install") || command == QLatin1String("upgrade")
                           || command == QLatin1String("reinstall");
    const auto query = queries.constFind(command);
    if (!operation && query == queries.cend()) {
        printErr(QStringLiteral("zelk: unknown command '%1'\n").arg(command) + QString::fromLatin1(usageText));
        return 2;
    }

    // Operations and the index refresh change the state and stop cleanly on
    // SIGTERM; a query keeps the default and simply ends.
    if (operation || command == QLatin1String("index"))
        Pace::installSignalHandlers();

    try {
        StateStore store = StateStore::open();
        if (operation)
            return OperationRunner(store, command).run(rest);
        QueryCommands commands(store);
        return std::invoke(*query, commands, rest);
    } catch (const StateError &error) {
        printErr(QStringLiteral("zelk: %1\n").arg(error.message()));
        return 1;
    }
}
