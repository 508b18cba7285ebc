#pragma once

// The records of zelk's index, package-info, search, outdated, data-source
// and index-status documents, and the doctor's findings. Plain values,
// decoded strictly (all-or-nothing) and never written back. Equality and
// hashing exist only on the records shown as list rows or compared by the
// screens; the whole-document records have none, so an observer always
// treats a freshly decoded one as changed.

#include "Json.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ZelkKit {

// One entry of `zelk catalog --json`.
struct CatalogPackage {
    // JSON texts "pkg" and "deps" (not the "dep" of the install status).
    enum class Kind { Package, Dependency };

    QString name;
    std::optional<QString> description;
    Kind kind = Kind::Package;
    std::optional<QString> latest;
    QStringList versions;

    const QString &id() const { return name; }

    static QLatin1StringView kindText(Kind kind);
    static CatalogPackage fromJson(simdjson::dom::element element, const QString &path, Json::Context &context);

    friend bool operator==(const CatalogPackage &, const CatalogPackage &) = default;
};

size_t qHash(const CatalogPackage &package, size_t seed = 0);

struct CatalogDocument {
    // Carried, not validated.
    std::optional<qint64> schema;
    // Carried as text, not parsed.
    std::optional<QString> generatedAt;
    QList<CatalogPackage> packages;

    static CatalogDocument fromJson(simdjson::dom::element element, Json::Context &context);
};

// `zelk info <name> --json`: one index entry with its installed and
// available versions.
struct PackageInfo {
    QString name;
    std::optional<QString> author;
    std::optional<QString> description;
    std::optional<QString> homepage;
    std::optional<QString> license;
    QStringList installed;
    QStringList available;
    std::optional<QString> latest;
    std::optional<QString> minOS;
    std::optional<QString> binName;
    std::optional<QString> url;
    std::optional<QString> file;
    std::optional<QString> sha256;
    // No list (key absent or null) is distinct from an empty list.
    std::optional<QStringList> deps;

    const QString &id() const { return name; }
    // binName when given, else name.
    const QString &displayName() const;
    // The last installed version.
    std::optional<QString> installedVersion() const;
    // The first available version (the first, not the last).
    std::optional<QString> availableVersion() const;
    bool isInstalled() const { return !installed.isEmpty(); }
    // The last installed version differs, as text, from the first available
    // one. Versions are not ordered: an installed version newer than the
    // first available one also counts.
    bool hasUpgrade() const;

    static PackageInfo fromJson(simdjson::dom::element element, Json::Context &context);

    friend bool operator==(const PackageInfo &, const PackageInfo &) = default;
};

size_t qHash(const PackageInfo &info, size_t seed = 0);

// `zelk search --all --json`.
struct SearchResult {
    QString query;
    bool all = false;
    QStringList packages;

    static SearchResult fromJson(simdjson::dom::element element, Json::Context &context);
};

// One element of `zelk outdated --json`, whose root is a bare JSON array.
struct OutdatedItem {
    QString name;
    QString installed;
    QString latest;
    QString status;
    // Text here, unlike the boolean "linked" of the install status.
    std::optional<QString> linked;

    const QString &id() const { return name; }

    static OutdatedItem fromJson(simdjson::dom::element element, const QString &path, Json::Context &context);
    // The whole document: an array of items in zelk's order (never sorted).
    static QList<OutdatedItem> listFromJson(simdjson::dom::element element, Json::Context &context);

    friend bool operator==(const OutdatedItem &, const OutdatedItem &) = default;
};

size_t qHash(const OutdatedItem &item, size_t seed = 0);

// One data source of `zelk mirror get --json`. zelk masks passwords in value;
// nothing here interprets the fields.
struct MirrorEntry {
    QString name;
    std::optional<QString> env;
    QString source;
    std::optional<bool> requiresAuth;
    std::optional<QString> user;
    std::optional<QString> value;

    const QString &id() const { return name; }

    static MirrorEntry fromJson(simdjson::dom::element element, const QString &path, Json::Context &context);

    friend bool operator==(const MirrorEntry &, const MirrorEntry &) = default;
};

size_t qHash(const MirrorEntry &entry, size_t seed = 0);

struct MirrorConfig {
    QList<MirrorEntry> mirrors;

    static MirrorConfig fromJson(simdjson::dom::element element, Json::Context &context);
};

// `zelk index status --json`. Freshness is zelk's verdict; nothing is
// computed from the ages here.
struct IndexStatus {
    QString path;
    bool exists = false;
    std::optional<qint64> ageSeconds;
    std::optional<bool> fresh;
    std::optional<qint64> maxAgeSeconds;
    std::optional<qint64> schema;
    std::optional<QString> generatedAt;
    std::optional<QString> indexCommit;
    std::optional<qint64> packages;

    static IndexStatus fromJson(simdjson::dom::element element, Json::Context &context);
};

// One finding of `zelk doctor --raw`, a line "severity<TAB>check<TAB>detail".
struct DoctorFinding {
    QString severity;
    QString check;
    QString detail;

    // "severity|check|detail".
    QString id() const;
    // severity, lower-cased, is "error".
    bool isError() const;

    // Every well-formed line of the doctor's output, in order. Lines with
    // fewer than two tabs are skipped; the severity loses surrounding spaces
    // and tabs, check and detail are kept as they stand (detail keeps any
    // further tabs, and a carriage return of a CR LF line end). Never fails.
    static QList<DoctorFinding> parse(const QString &text);

    friend bool operator==(const DoctorFinding &, const DoctorFinding &) = default;
};

size_t qHash(const DoctorFinding &finding, size_t seed = 0);

} // namespace ZelkKit
