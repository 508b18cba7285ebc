#pragma once

// The two documents in which zelk describes what is installed:
// `zelk list --json` (InstalledList, names and versions) and
// `zelk status --json` (InstallStatus, the install root and one detailed
// record per package), with the lookups the installed list and the package
// detail screen run on them. All are plain values, decoded strictly and never
// written back; the lookups keep no index or cache, because the install
// status is replaced on every refresh.

#include "Json.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ZelkKit {

struct InstalledPackage {
    QString name;
    // Installed version texts in the order zelk prints them.
    QStringList installed;

    InstalledPackage() = default;
    InstalledPackage(QString packageName, QStringList installedVersions);

    const QString &id() const { return name; }
    // The last installed version as listed (not sorted), if any.
    std::optional<QString> newest() const;

    static InstalledPackage fromJson(simdjson::dom::element element, const QString &path, Json::Context &context);

    friend bool operator==(const InstalledPackage &, const InstalledPackage &) = default;
};

size_t qHash(const InstalledPackage &package, size_t seed = 0);

struct InstalledList {
    QList<InstalledPackage> packages;

    static InstalledList fromJson(simdjson::dom::element element, Json::Context &context);
};

struct InstalledDetail {
    // JSON texts "pkg" and "dep".
    enum class Kind { Package, Dependency };

    QString name;
    QString version;
    QStringList versions;
    Kind kind = Kind::Package;
    bool requested = false;
    std::optional<QString> installedAt;
    std::optional<QString> arch;
    bool tree = false;
    bool linked = false;
    std::optional<QString> linkedVersion;
    QStringList commands;
    // Each entry is a package name, optionally followed by "@" and a version.
    QStringList deps;
    QString path;
    qint64 sizeBytes = 0;
    QString file;
    QString sha256;
    QString source;
    std::optional<QString> installedBy;
    std::optional<QString> installedByUser;

    const QString &id() const { return name; }
    // installedAt read as an RFC 3339 internet date-time, in UTC; no value
    // when absent or not in that form (fractional seconds included).
    std::optional<QDateTime> installedDate() const;
    // Dependency-kind packages are not removed on their own.
    bool isRemovable() const { return kind == Kind::Package; }
    // Linked, but not (known to be) to the current version.
    bool linkIsStale() const;

    static QLatin1StringView kindText(Kind kind);
    static InstalledDetail fromJson(simdjson::dom::element element, const QString &path, Json::Context &context);

    friend bool operator==(const InstalledDetail &, const InstalledDetail &) = default;
};

size_t qHash(const InstalledDetail &detail, size_t seed = 0);

struct InstallStatus {
    QString baseDir;
    QList<InstalledDetail> packages;

    // The first package of that name, in document order.
    const InstalledDetail *package(const QString &name) const;
    // Package name -> names of the installed packages whose deps name it, in
    // document order, duplicates kept. Rebuilt on every call.
    QHash<QString, QStringList> dependents() const;
    // Who depends on name, sorted by code point; empty when nobody does.
    QStringList dependents(const QString &name) const;

    static InstallStatus fromJson(simdjson::dom::element element, Json::Context &context);
};

} // namespace ZelkKit
