#pragma once

#include "CLIInfo.h"
#include "DoctorRun.h"
#include "InstallStatus.h"
#include "Models.h"
#include "Result.h"
#include "ZelkCommandResult.h"
#include "ZelkEventStream.h"
#include "ZelkOperation.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <memory>

namespace ZelkKit {

// The one place where ReveZE starts zelk. A plain value holding the path of
// the executable (a relative one, a bare name included, is taken against the
// working directory, never looked up on PATH); every operation starts a fresh
// child process with a fixed argument vector (no shell), inheriting ReveZE's
// environment, working directory and standard input. Everything zelk writes
// becomes text by Utf8::text.
//
// Queries are coroutines: they are suspended, never blocking, while zelk
// runs. A run always goes to completion, even when its caller goes away (the
// process belongs to ProcessRegistry). Large documents are decoded on the
// worker pool.
class ZelkCLI
{
public:
    using Operation = ZelkOperation;

    explicit ZelkCLI(QString executable);

    const QString &executable() const { return m_executable; }

    // Fails only with launchFailed; a non-zero exit status is in the result.
    QCoro::Task<Result<ZelkCommandResult>> run(const QStringList &arguments) const;
    // "base_dir" and "mirror" sections from `basedir --raw` and `mirror`.
    QCoro::Task<Result<QString>> configuration() const;

    QCoro::Task<Result<QList<InstalledPackage>>> installed() const;
    QCoro::Task<Result<CLIInfo>> versionInfo() const;
    QCoro::Task<Result<CatalogDocument>> catalogDocument() const;
    QCoro::Task<Result<QList<OutdatedItem>>> outdated() const;
    QCoro::Task<Result<MirrorConfig>> mirrorConfig() const;
    QCoro::Task<Result<IndexStatus>> indexStatus() const;
    QCoro::Task<Result<InstallStatus>> status() const;
    QCoro::Task<Result<QStringList>> catalog() const;
    QCoro::Task<Result<PackageInfo>> info(const QString &name) const;
    // These three ignore the exit status and fail only with launchFailed.
    QCoro::Task<Result<QList<DoctorFinding>>> doctor() const;
    QCoro::Task<Result<QHash<QString, QString>>> linkedVersions() const;
    QCoro::Task<Result<ZelkCommandResult>> refreshIndex() const;
    // The doctor check with how its run ended (see DoctorRun).
    QCoro::Task<Result<DoctorRun>> doctorRun() const;

    // Starts zelk at once with the complete vector (the caller includes
    // "--json-progress"); the caller owns the stream.
    std::unique_ptr<ZelkEventStream> stream(const QStringList &arguments) const;
    // The operation word, the packages, the extra flags, "--json-progress".
    std::unique_ptr<ZelkEventStream> operation(Operation operation, const QStringList &packages,
                                               const QStringList &extraFlags) const;

    // The linked-versions text format: "name@version" lines.
    static QHash<QString, QString> parseLinkedVersions(const QString &text);

private:
    QString m_executable;
};

} // namespace ZelkKit
