#include "OperationRunner.h"

#include "EventWriter.h"
#include "OperationLock.h"
#include "Pace.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QUrl>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace ZelkSim {

namespace {

// A failure reported as one error event (or one text on stderr without
// --json-progress).
struct Failure {
    QString message;
    QStringList hints;
    QString code;
    int exitStatus = 1;
};

// SIGTERM, SIGINT or a closed output pipe.
struct Interrupted {
};

// A failure that zelk cannot describe: a text on stderr, no error event.
struct Crashed {
    QString text;
};

const QLatin1String stepResolve("resolve");
const QLatin1String stepDownload("download");
const QLatin1String stepVerify("verify");
const QLatin1String stepInstall("install");
const QLatin1String stepLink("link");

// Download chunks per package, each one progress event after one tick;
// ZELK_SIM_DOWNLOAD_CHUNKS makes a run long (the benchmark's million events).
int downloadChunks()
{
    bool ok = false;
    const int chunks = qEnvironmentVariableIntValue("ZELK_SIM_DOWNLOAD_CHUNKS", &ok);
    return ok && chunks > 0 ? chunks : 8;
}

// A package argument may hold several names separated by commas or blanks,
// as the install sheet's name field allows ("jq, fd").
QStringList namesIn(const QString &argument)
{
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    return argument.split(separators, Qt::SkipEmptyParts);
}

Failure usage(const QString &message, const QString &operation)
{
    return {message, {QStringLiteral("Run `zelk help %1` for its options.").arg(operation)}, QStringLiteral("E_USAGE"), 2};
}

// "40s", "1min", "2h", "500ms" or a plain number of seconds.
std::optional<qint64> durationSeconds(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,9})(ms|s|sec|m|min|h)?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 number = match.captured(1).toLongLong();
    const QString unit = match.captured(2);
    if (unit == QLatin1String("ms"))
        return (number + 999) / 1000;
    if (unit == QLatin1String("m") || unit == QLatin1String("min"))
        return number * 60;
    if (unit == QLatin1String("h"))
        return number * 3600;
    return number;
}

QString dependencyName(const QString &entry)
{
    return entry.section(QLatin1Char('@'), 0, 0, QString::SectionSkipEmpty);
}

int editDistance(const QString &a, const QString &b)
{
    QList<int> previous(b.size() + 1);
    QList<int> current(b.size() + 1);
    for (qsizetype j = 0; j <= b.size(); ++j)
        previous[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        current[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int substitution = previous[j - 1] + (a.at(i - 1) == b.at(j - 1) ? 0 : 1);
            current[j] = qMin(substitution, qMin(previous[j], current[j - 1]) + 1);
        }
        std::swap(previous, current);
    }
    return previous[b.size()];
}

qint64 downloadSize(const CatalogEntry &entry)
{
    return qMax<qint64>(entry.sizeBytes / 3, 64 * 1024);
}

QString binOf(const CatalogEntry *entry, const QString &name)
{
    if (!entry)
        return name;
    if (!entry->binName.isEmpty())
        return entry->binName;
    return entry->commands.isEmpty() ? QString() : entry->commands.first();
}

} // namespace

OperationRunner::OperationRunner(StateStore &store, QString operation)
    : m_store(store)
    , m_operation(std::move(operation))
{
}

QString OperationRunner::commandLine() const
{
    QStringList words{QStringLiteral("zelk"), m_operation};
    if (m_options.all)
        words.append(QStringLiteral("--all"));
    words.append(m_options.names);
    return words.join(QLatin1Char(' '));
}

void OperationRunner::parseOptions(const QStringList &arguments)
{
    const bool upgrade = m_operation == QLatin1String("upgrade");
    bool switchesEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString argument = arguments.at(i);
        if (switchesEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            m_options.names.append(namesIn(argument));
            continue;
        }
        if (argument == QLatin1String("--")) {
            switchesEnded = true;
            continue;
        }
        QString name = argument;
        std::optional<QString> inlineValue;
        if (const qsizetype equals = argument.indexOf(QLatin1Char('=')); equals > 0 && argument.startsWith(QLatin1String("--"))) {
            name = argument.left(equals);
            inlineValue = argument.mid(equals + 1);
        }
        const auto value = [&]() -> QString {
            if (inlineValue)
                return *inlineValue;
            if (i + 1 >= arguments.size())
                throw usage(QStringLiteral("%1 needs a value").arg(name), m_operation);
            return arguments.at(++i);
        };
        const auto duration = [&]() -> qint64 {
            const QString text = value();
            const auto seconds = durationSeconds(text);
            if (!seconds)
                throw usage(QStringLiteral("invalid time \"%1\" for %2 (use a number of seconds or 40s, 5min, 2h)").arg(text, name),
                            m_operation);
            return *seconds;
        };
        const auto flag = [&]() {
            if (inlineValue)
                throw usage(QStringLiteral("%1 takes no value").arg(name), m_operation);
        };
        if (name == QLatin1String("--json-progress")) {
            flag();
            m_options.json = true;
        } else if (name == QLatin1String("--yes") || name == QLatin1String("-y")) {
            flag();
            m_options.yes = true;
        } else if (name == QLatin1String("--continue")) {
            flag();
            m_options.resume = true;
        } else if (name == QLatin1String("--skip-ssl")) {
            flag();
            m_options.skipSsl = true;
        } else if (name == QLatin1String("--force") || name == QLatin1String("-F")) {
            flag();
            m_options.force = true;
        } else if (name == QLatin1String("--all") && upgrade) {
            flag();
            m_options.all = true;
        } else if (name == QLatin1String("--remove-old-versions") && upgrade) {
            flag();
            m_options.removeOldVersions = true;
        } else if (name == QLatin1String("--max-time")) {
            m_options.maxTimeSeconds = duration();
        } else if (name == QLatin1String("--content-time")) {
            m_options.contentTimeSeconds = duration();
        } else if (name == QLatin1String("--connect-timeout")) {
            m_options.connectTimeoutSeconds = duration();
        } else if (name == QLatin1String("--verbose") || name == QLatin1String("-v")) {
            flag();
        } else if (name == QLatin1String("--proxy") || name == QLatin1String("--limit-rate")) {
            value();
        } else {
            throw usage(QStringLiteral("unknown option %1 for %2").arg(argument, m_operation), m_operation);
        }
    }
    if (m_options.all && !m_options.names.isEmpty())
        throw usage(QStringLiteral("--all upgrades every outdated package; name no packages with it"), m_operation);
    if (!m_options.all && m_options.names.isEmpty())
        throw usage(upgrade ? QStringLiteral("name the packages to upgrade, or pass --all")
                            : QStringLiteral("name the packages to %1").arg(m_operation),
                    m_operation);
}

int OperationRunner::run(const QStringList &arguments)
{
    // The writer follows --json-progress, which is known only after parsing;
    // a usage failure found while parsing is reported in the mode it found.
    m_options.json = arguments.contains(QLatin1String("--json-progress"));
    EventWriter events(m_options.json);
    m_events = &events;
    m_clock.start();

    try {
        parseOptions(arguments);

        OperationLock lock(m_store.lockFilePath());
        if (!lock.tryAcquire()) {
            const qint64 holder = lock.holderPid();
            throw Failure{QStringLiteral("another zelk (pid %1) is changing this install tree").arg(holder),
                          {QStringLiteral("Wait for it to finish, then run the command again."),
                           QStringLiteral("If no zelk is running, remove %1.").arg(m_store.lockFilePath())},
                          QStringLiteral("E_LOCKED")};
        }

        try {
            events.plan({stepResolve, stepDownload, stepVerify, stepInstall, stepLink});
            events.step(stepResolve, QStringLiteral("start"));
            tick();
            resolve();
            for (const Action &action : std::as_const(m_actions)) {
                if (action.kind == Action::Kind::install && !action.requested)
                    events.package(action.name, QStringLiteral("queued as a dependency"));
                else if (action.kind != Action::Kind::unchanged)
                    events.package(action.name, QStringLiteral("queued"));
            }
            events.step(stepResolve, QStringLiteral("ok"));
            confirm();

            QStringList changed;
            QStringList unchanged;
            for (const Action &action : std::as_const(m_actions)) {
                try {
                    perform(action);
                } catch (const Failure &) {
                    events.package(action.name, QStringLiteral("failed"));
                    events.summary(changed, unchanged, {action.name});
                    throw;
                }
                (action.kind == Action::Kind::unchanged ? unchanged : changed).append(action.name);
            }
            events.summary(changed, unchanged, {});
            for (const Action &action : std::as_const(m_actions)) {
                if (!action.requested)
                    continue;
                const InstalledEntry *entry = m_store.installedEntry(action.name);
                events.done(action.name, entry ? entry->version : action.version,
                            binOf(m_store.catalogEntry(action.name), action.name), entry && entry->linked);
            }
            if (Pace::interrupted())
                throw Interrupted{};
        } catch (const StateError &error) {
            static const QHash<StateError::Kind, QString> codes{
                {StateError::Kind::damaged, QStringLiteral("E_DATA")},
                {StateError::Kind::permission, QStringLiteral("E_PERMISSION")},
                {StateError::Kind::disk, QStringLiteral("E_DISK")},
            };
            throw Failure{error.message(), {QStringLiteral("Nothing after the last completed package was changed.")},
                          codes.value(error.kind())};
        }
        return 0;
    } catch (const Failure &failure) {
        keepPartialDownload();
        events.error(failure.message, failure.hints, failure.code);
        return failure.exitStatus;
    } catch (const Interrupted &) {
        keepPartialDownload();
        const int signal = Pace::interruptSignal();
        const QString cause = signal == 0 ? QStringLiteral("the output was closed")
                                          : QStringLiteral("interrupted by signal %1").arg(signal);
        const QString where = m_downloading.isEmpty() ? QString()
                                                      : QStringLiteral(" while fetching %1").arg(m_downloading);
        printErr(QStringLiteral("zelk %1: %2%3; the packages completed before stay installed, nothing else was changed\n")
                     .arg(m_operation, cause, where));
        return Pace::interruptedExitStatus();
    } catch (const Crashed &crash) {
        printErr(crash.text);
        return 3;
    }
}

void OperationRunner::keepPartialDownload()
{
    // What was fetched stays, so that --continue can resume it.
    if (m_downloading.isEmpty() || m_downloaded <= 0)
        return;
    QHash<QString, qint64> partial = m_store.partialDownloads();
    partial.insert(m_downloading, m_downloaded);
    try {
        m_store.savePartialDownloads(partial);
    } catch (const StateError &) {
        // Losing the partial download only means starting it again.
    }
}

void OperationRunner::tick(int ticks)
{
    if (!Pace::wait(ticks))
        throw Interrupted{};
}

bool OperationRunner::planned(const QString &name) const
{
    for (const Action &action : m_actions) {
        if (action.name == name)
            return true;
    }
    return false;
}

QString OperationRunner::notFoundHint(const QString &name)
{
    QString best;
    int bestDistance = 3;
    for (const CatalogEntry &entry : m_store.catalog()) {
        if (qAbs(entry.name.size() - name.size()) >= bestDistance)
            continue;
        const int distance = editDistance(entry.name.toLower(), name.toLower());
        if (distance < bestDistance) {
            bestDistance = distance;
            best = entry.name;
        }
    }
    return best.isEmpty() ? QStringLiteral("Look for it with `zelk search %1`.").arg(name)
                          : QStringLiteral("Did you mean %1?").arg(best);
}

void OperationRunner::resolve()
{
    if (m_options.all) {
        // Dependencies before the packages that use them, otherwise by name.
        QStringList names;
        for (const InstalledEntry &entry : m_store.installed())
            names.append(entry.name);
        names.sort();
        QSet<QString> visited;
        std::function<void(const QString &)> visit = [&](const QString &name) {
            if (visited.contains(name))
                return;
            visited.insert(name);
            const InstalledEntry *entry = m_store.installedEntry(name);
            if (!entry)
                return;
            const QStringList deps = entry->deps;
            for (const QString &dependency : deps)
                visit(dependencyName(dependency));
            resolveUpgrade(name, true);
        };
        for (const QString &name : std::as_const(names))
            visit(name);
        return;
    }
    QStringList unknown;
    for (const QString &name : std::as_const(m_options.names)) {
        if (!m_store.catalogEntry(name) && !m_store.installedEntry(name))
            unknown.append(name);
    }
    if (!unknown.isEmpty()) {
        QStringList hints{notFoundHint(unknown.first())};
        const IndexInfo &index = m_store.index();
        if (!index.refreshedAt || QDateTime::currentSecsSinceEpoch() - *index.refreshedAt >= index.maxAgeSeconds)
            hints.append(QStringLiteral("The local index is stale; `zelk index refresh` may know newer packages."));
        throw Failure{unknown.size() == 1
                          ? QStringLiteral("no package named \"%1\" in the index").arg(unknown.first())
                          : QStringLiteral("no packages named %1 in the index").arg(unknown.join(QLatin1String(", "))),
                      hints, QStringLiteral("E_NOT_FOUND")};
    }
    for (const QString &name : std::as_const(m_options.names)) {
        if (planned(name))
            continue;
        if (m_operation == QLatin1String("install"))
            resolveInstall(name);
        else if (m_operation == QLatin1String("upgrade"))
            resolveUpgrade(name, false);
        else
            resolveReinstall(name);
    }
}

void OperationRunner::checkSystem(const CatalogEntry &entry, const QString &version)
{
    const QString os = m_store.config().osVersion;
    if (entry.minOS.isEmpty() || os.isEmpty() || compareVersions(entry.minOS, os) <= 0 || m_options.force)
        return;
    throw Failure{QStringLiteral("%1 %2 needs macOS %3 or newer; this system runs %4").arg(entry.name, version, entry.minOS, os),
                  {QStringLiteral("Pass --force to install it anyway; it may not start on this system.")},
                  QStringLiteral("E_USAGE")};
}

void OperationRunner::addMissingDependencies(const CatalogEntry &entry, QSet<QString> &visiting)
{
    visiting.insert(entry.name);
    for (const QString &dependency : entry.deps) {
        const QString name = dependencyName(dependency);
        if (name.isEmpty() || visiting.contains(name) || m_store.installedEntry(name) || planned(name))
            continue;
        const CatalogEntry *needed = m_store.catalogEntry(name);
        if (!needed || needed->latest().isEmpty())
            throw Failure{QStringLiteral("the index record of %1 names the dependency %2, which the index does not offer")
                              .arg(entry.name, name),
                          {QStringLiteral("Report the defective record to the administrator of the index."),
                           QStringLiteral("`zelk index refresh` fetches a corrected index once there is one.")},
                          QStringLiteral("E_DATA")};
        checkSystem(*needed, needed->latest());
        addMissingDependencies(*needed, visiting);
        Action action;
        action.kind = Action::Kind::install;
        action.name = name;
        action.version = needed->latest();
        m_actions.append(action);
    }
}

void OperationRunner::resolveInstall(const QString &name)
{
    const CatalogEntry *entry = m_store.catalogEntry(name);
    if (const InstalledEntry *installed = m_store.installedEntry(name)) {
        Action action;
        action.kind = Action::Kind::unchanged;
        action.name = name;
        action.version = installed->version;
        action.requested = true;
        action.markRequested = !installed->requested;
        action.reason = QStringLiteral("already installed");
        m_actions.append(action);
        return;
    }
    checkSystem(*entry, entry->latest());
    QSet<QString> visiting;
    addMissingDependencies(*entry, visiting);
    Action action;
    action.kind = Action::Kind::install;
    action.name = name;
    action.version = entry->latest();
    action.requested = true;
    m_actions.append(action);
}

void OperationRunner::resolveUpgrade(const QString &name, bool fromAll)
{
    const InstalledEntry *installed = m_store.installedEntry(name);
    if (!installed)
        throw Failure{QStringLiteral("%1 is not installed").arg(name),
                      {QStringLiteral("Install it with `zelk install %1`.").arg(name)}, QStringLiteral("E_USAGE")};
    const QString latest = m_store.upgradeFor(*installed);
    Action action;
    action.name = name;
    action.version = installed->version;
    // With --all, only the packages that really change report a done event.
    action.requested = !fromAll;
    if (latest.isEmpty()) {
        if (fromAll)
            return; // --all names only what is outdated
        action.kind = Action::Kind::unchanged;
        action.reason = QStringLiteral("up to date");
        m_actions.append(action);
        return;
    }
    const CatalogEntry *entry = m_store.catalogEntry(name);
    if (fromAll && installed->pinned) {
        action.kind = Action::Kind::unchanged;
        action.reason = QStringLiteral("pinned at %1").arg(installed->version);
        m_actions.append(action);
        return;
    }
    if (fromAll && !m_options.force && !entry->minOS.isEmpty() && !m_store.config().osVersion.isEmpty()
        && compareVersions(entry->minOS, m_store.config().osVersion) > 0) {
        action.kind = Action::Kind::unchanged;
        action.reason = QStringLiteral("%1 needs macOS %2").arg(latest, entry->minOS);
        m_actions.append(action);
        return;
    }
    checkSystem(*entry, latest);
    QSet<QString> visiting;
    addMissingDependencies(*entry, visiting);
    action.kind = Action::Kind::upgrade;
    action.requested = true;
    action.fromVersion = installed->version;
    action.version = latest;
    m_actions.append(action);
}

void OperationRunner::resolveReinstall(const QString &name)
{
    const InstalledEntry *installed = m_store.installedEntry(name);
    if (!installed)
        throw Failure{QStringLiteral("%1 is not installed, so it cannot be reinstalled").arg(name),
                      {QStringLiteral("Install it with `zelk install %1`.").arg(name)}, QStringLiteral("E_USAGE")};
    const QString version = installed->version;
    if (const CatalogEntry *entry = m_store.catalogEntry(name)) {
        checkSystem(*entry, version);
        QSet<QString> visiting;
        addMissingDependencies(*entry, visiting);
    } else {
        throw Failure{QStringLiteral("%1 %2 is no longer offered by the index").arg(name, version),
                      {QStringLiteral("Upgrade or remove it instead.")}, QStringLiteral("E_NOT_FOUND")};
    }
    Action action;
    action.kind = Action::Kind::reinstall;
    action.name = name;
    action.version = version;
    action.requested = true;
    m_actions.append(action);
}

void OperationRunner::confirm()
{
    QStringList changes;
    for (const Action &action : std::as_const(m_actions)) {
        if (action.kind != Action::Kind::unchanged)
            changes.append(action.name + QLatin1Char(' ') + action.version);
    }
    if (changes.isEmpty() || m_options.yes)
        return;
    const QString question = QStringLiteral("%1 %2 package%3: %4")
                                 .arg(m_operation.left(1).toUpper() + m_operation.mid(1))
                                 .arg(changes.size())
                                 .arg(changes.size() == 1 ? QString() : QStringLiteral("s"), changes.join(QLatin1String(", ")));
    // Only a person at a terminal is asked; a program reading the progress
    // stream must say --yes.
    if (!m_options.json && isatty(STDIN_FILENO)) {
        printErr(question + QLatin1String("? [y/N] "));
        char answer[16] = {};
        if (std::fgets(answer, sizeof answer, stdin)) {
            const QString text = QString::fromLocal8Bit(answer).trimmed().toLower();
            if (text == QLatin1String("y") || text == QLatin1String("yes"))
                return;
        }
    }
    throw Failure{QStringLiteral("not confirmed: %1").arg(question),
                  {QStringLiteral("Pass --yes to confirm without being asked.")}, QStringLiteral("E_DECLINED")};
}

QString OperationRunner::mirrorHost()
{
    const auto mirror = m_store.packageMirror();
    if (!mirror)
        return QStringLiteral("the package mirror");
    const QUrl url(StateStore::effectiveAddress(*mirror));
    return url.host().isEmpty() ? mirror->name : url.host();
}

void OperationRunner::checkTimeLimit(const QString &name)
{
    if (m_options.maxTimeSeconds && *m_options.maxTimeSeconds > 0
        && m_clock.elapsed() > *m_options.maxTimeSeconds * 1000)
        throw Failure{QStringLiteral("downloading %1 took longer than --max-time %2s").arg(name).arg(*m_options.maxTimeSeconds),
                      {QStringLiteral("Allow more time with a larger --max-time."),
                       QStringLiteral("Run again with --continue to resume the download.")},
                      QStringLiteral("E_NETWORK")};
}

void OperationRunner::download(const Action &action, const CatalogEntry &entry)
{
    const QString key = action.name + QLatin1Char('@') + action.version;
    const qint64 total = downloadSize(entry);
    m_events->step(stepDownload, QStringLiteral("start"), action.name);

    switch (entry.fault) {
    case Fault::tls:
        if (m_options.skipSsl)
            break;
        tick();
        throw Failure{QStringLiteral("TLS certificate verification failed for %1: the certificate has expired").arg(mirrorHost()),
                      {QStringLiteral("Ask the administrator to renew the mirror's certificate."),
                       QStringLiteral("--skip-ssl turns the check off; anyone on the network could then change the package.")},
                      QStringLiteral("E_TLS")};
    case Fault::network: {
        const qint64 timeout = m_options.connectTimeoutSeconds.value_or(10);
        tick(3);
        throw Failure{QStringLiteral("could not connect to %1 within %2s while fetching %3").arg(mirrorHost()).arg(timeout).arg(key),
                      {QStringLiteral("Check the network connection and any proxy settings."),
                       QStringLiteral("Run again with --continue once the mirror can be reached.")},
                      QStringLiteral("E_NETWORK")};
    }
    case Fault::http:
        tick();
        throw Failure{QStringLiteral("%1 answered 503 Service Unavailable for %2").arg(mirrorHost(), packageFile(action.name, action.version, m_store.config().arch)),
                      {QStringLiteral("The mirror is busy or under maintenance; retry later.")}, QStringLiteral("E_HTTP")};
    default:
        break;
    }

    qint64 start = 0;
    QHash<QString, qint64> partial = m_store.partialDownloads();
    if (partial.contains(key)) {
        if (m_options.resume)
            start = qBound<qint64>(0, partial.value(key), total);
        partial.remove(key);
        m_store.savePartialDownloads(partial);
    }
    if (start > 0)
        m_events->step(stepDownload, QStringLiteral("resume"), action.name);

    m_downloading = key;
    m_downloaded = start;
    m_events->progress(stepDownload, start, total, action.name);
    const int chunks = downloadChunks();
    for (int chunk = 1; chunk <= chunks; ++chunk) {
        tick();
        checkTimeLimit(action.name);
        m_downloaded = start + (total - start) * chunk / chunks;
        m_events->progress(stepDownload, m_downloaded, total, action.name);
        if (entry.fault == Fault::crash && chunk == 3)
            throw Crashed{QStringLiteral("zelk: internal error: unexpected end of the archive stream for %1 "
                                         "(offset %2); this is a bug in zelk\n")
                              .arg(key)
                              .arg(m_downloaded)};
    }
    m_downloading.clear();
    m_events->step(stepDownload, QStringLiteral("ok"), action.name);
}

void OperationRunner::perform(const Action &action)
{
    const CatalogEntry *entry = m_store.catalogEntry(action.name);
    if (action.kind == Action::Kind::unchanged) {
        if (action.markRequested)
            commit(action, entry);
        m_events->status(action.name, action.version, QStringLiteral("unchanged"));
        m_events->package(action.name, action.reason);
        return;
    }

    download(action, *entry);

    m_events->step(stepVerify, QStringLiteral("start"), action.name);
    tick();
    if (entry->fault == Fault::data)
        throw Failure{QStringLiteral("checksum mismatch for %1: the index says %2, the download has %3")
                          .arg(packageFile(action.name, action.version, m_store.config().arch),
                               packageSha256(action.name, action.version).left(16),
                               packageSha256(action.name, action.version + QLatin1String("~")).left(16)),
                      {QStringLiteral("The index record or the mirror's copy is defective; report it to the administrator.")},
                      QStringLiteral("E_DATA")};
    m_events->step(stepVerify, QStringLiteral("ok"), action.name);

    const QString path = packagePath(m_store.config().baseDir, action.name, action.version);
    m_events->step(stepInstall, QStringLiteral("start"), action.name);
    tick(2);
    if (entry->fault == Fault::disk)
        throw Failure{QStringLiteral("no space left on the device while unpacking into %1").arg(path),
                      {QStringLiteral("Free some space (old versions: `zelk upgrade --remove-old-versions`), then retry.")},
                      QStringLiteral("E_DISK")};
    if (entry->fault == Fault::permission)
        throw Failure{QStringLiteral("permission denied: %1 is not writable").arg(m_store.config().baseDir + QLatin1String("/pkgs")),
                      {QStringLiteral("Run zelk as the owner of the install tree, or ask the administrator.")},
                      QStringLiteral("E_PERMISSION")};
    m_events->step(stepInstall, QStringLiteral("ok"), action.name);

    m_events->step(stepLink, QStringLiteral("start"), action.name);
    tick();
    // The one write of this package: until here nothing was changed.
    commit(action, entry);
    m_events->step(stepLink, QStringLiteral("ok"), action.name);

    static const QHash<Action::Kind, QString> states{
        {Action::Kind::install, QStringLiteral("installed")},
        {Action::Kind::upgrade, QStringLiteral("upgraded")},
        {Action::Kind::reinstall, QStringLiteral("reinstalled")},
    };
    m_events->status(action.name, action.version, states.value(action.kind), action.fromVersion);
    m_events->package(action.name, QStringLiteral("ok"));
}

void OperationRunner::commit(const Action &action, const CatalogEntry *entry)
{
    QList<InstalledEntry> installed = m_store.installed();
    qsizetype index = -1;
    for (qsizetype i = 0; i < installed.size(); ++i) {
        if (installed.at(i).name == action.name)
            index = i;
    }
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    const bool library = entry && entry->isLibrary();
    const auto resolvedDeps = [this, entry]() {
        QStringList deps;
        if (!entry)
            return deps;
        for (const QString &dependency : entry->deps) {
            const QString name = dependencyName(dependency);
            const InstalledEntry *present = m_store.installedEntry(name);
            deps.append(present ? name + QLatin1Char('@') + present->version : name);
        }
        return deps;
    };

    if (action.kind == Action::Kind::install || index < 0) {
        InstalledEntry fresh;
        fresh.name = action.name;
        fresh.version = action.version;
        fresh.versions = {action.version};
        fresh.requested = action.requested;
        fresh.dependency = !action.requested || library;
        fresh.installedAt = now;
        fresh.arch = m_store.config().arch;
        fresh.linked = true;
        fresh.linkedVersion = action.version;
        fresh.commands = entry ? entry->commands : QStringList();
        fresh.deps = resolvedDeps();
        fresh.sizeBytes = entry ? entry->sizeBytes : 0;
        if (const auto mirror = m_store.packageMirror())
            fresh.source = mirror->name;
        fresh.installedBy = commandLine();
        fresh.installedByUser = StateStore::currentUser();
        if (index < 0)
            installed.append(fresh);
        else
            installed[index] = fresh;
    } else {
        InstalledEntry &present = installed[index];
        if (action.markRequested) {
            present.requested = true;
            present.dependency = library;
            present.installedBy = commandLine();
            present.installedByUser = StateStore::currentUser();
        }
        if (action.kind == Action::Kind::upgrade) {
            present.version = action.version;
            if (m_options.removeOldVersions)
                present.versions = {action.version};
            else if (!present.versions.contains(action.version))
                present.versions.append(action.version);
        }
        if (action.kind == Action::Kind::upgrade || action.kind == Action::Kind::reinstall) {
            present.installedAt = now;
            present.linked = true;
            present.linkedVersion = action.version;
            present.deps = resolvedDeps();
            if (entry) {
                present.commands = entry->commands;
                present.sizeBytes = entry->sizeBytes;
            }
        }
    }
    m_store.saveInstalled(installed);
}

} // namespace ZelkSim
