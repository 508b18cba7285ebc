#pragma once

#include "CompatibilityIssue.h"

#include <CatalogStore.h>
#include <ZelkCLI.h>

#include <QDateTime>
#include <QObject>

#include <optional>

namespace ReveZE {

// The observable state behind the window: what zelk says about the
// installation, the index and itself. Lives on the GUI thread; every field is
// a property whose change signal fires only when an assigned value differs
// (status, cliInfo, mirror and indexStatus have no equality and notify on
// every assignment). Failures never escape: they become errorMessage.
class AppModel : public QObject
{
    Q_OBJECT

public:
    // Without a CLI the executable is located; when that fails there is no
    // store and setupError holds the not-found text for the life of the model.
    explicit AppModel(std::optional<ZelkKit::ZelkCLI> cli = std::nullopt, QObject *parent = nullptr);
    // For tests and other clients: a store of their own (taken over), or none
    // (then there is no store and no setup error).
    explicit AppModel(ZelkKit::CatalogStore *store, QObject *parent = nullptr);
    ~AppModel() override;

    ZelkKit::CatalogStore *store() const { return m_store; }
    const std::optional<QString> &setupError() const { return m_setupError; }

    const QList<ZelkKit::InstalledPackage> &installed() const { return m_installed; }
    const std::optional<ZelkKit::InstallStatus> &status() const { return m_status; }
    const QList<ZelkKit::CatalogPackage> &catalogPackages() const { return m_catalogPackages; }
    const QList<ZelkKit::OutdatedItem> &outdated() const { return m_outdated; }
    const std::optional<ZelkKit::CLIInfo> &cliInfo() const { return m_cliInfo; }
    const std::optional<CompatibilityIssue> &compatibilityIssue() const { return m_compatibilityIssue; }
    const QList<ZelkKit::DoctorFinding> &doctorFindings() const { return m_doctorFindings; }
    const std::optional<ZelkKit::MirrorConfig> &mirror() const { return m_mirror; }
    const std::optional<ZelkKit::IndexStatus> &indexStatus() const { return m_indexStatus; }
    const QStringList &catalog() const { return m_catalog; }
    bool isLoading() const { return m_isLoading; }
    const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    const std::optional<QDateTime> &lastRefresh() const { return m_lastRefresh; }

    // The window's alert clears the message with this.
    void setErrorMessage(std::optional<QString> message);

    // The full refresh: five queries at once, applied in a fixed order.
    QCoro::Task<> refresh(bool force);
    QCoro::Task<> refreshOutdated();
    // The partial refreshes below report a failure through errorMessage and
    // also tell their caller whether they succeeded (false without a store),
    // so a screen can tell a finished check from a failed one.
    //
    // Both queries answered.
    QCoro::Task<bool> refreshMirrorAndIndex();
    // `zelk index refresh` exited 0 and the index status was read again. A
    // refresh that exited non-zero (another zelk holds the lock, the network
    // is down) still drops the caches and reads the status again; its message
    // is reported, unless reading the status fails too, which then wins.
    QCoro::Task<bool> refreshIndex();
    // The doctor checked the install tree. zelk exits with the number of
    // findings, so a run that crashed, or exited non-zero without a single
    // finding, checked nothing: it is a failure and the findings stay.
    QCoro::Task<bool> refreshDoctor();
    QCoro::Task<ZelkKit::Result<ZelkKit::PackageInfo>> info(const QString &name, bool force);

    static QString notFoundText();

Q_SIGNALS:
    void installedChanged();
    void statusChanged();
    void catalogPackagesChanged();
    void outdatedChanged();
    void cliInfoChanged();
    void compatibilityIssueChanged();
    void doctorFindingsChanged();
    void mirrorChanged();
    void indexStatusChanged();
    void catalogChanged();
    void isLoadingChanged();
    void errorMessageChanged();
    void lastRefreshChanged();

private:
    void setInstalled(QList<ZelkKit::InstalledPackage> value);
    void setStatus(std::optional<ZelkKit::InstallStatus> value);
    void setCatalogPackages(QList<ZelkKit::CatalogPackage> value);
    void setOutdated(QList<ZelkKit::OutdatedItem> value);
    void setCliInfo(std::optional<ZelkKit::CLIInfo> value);
    void setCompatibilityIssue(std::optional<CompatibilityIssue> value);
    void setDoctorFindings(QList<ZelkKit::DoctorFinding> value);
    void setMirror(std::optional<ZelkKit::MirrorConfig> value);
    void setIndexStatus(std::optional<ZelkKit::IndexStatus> value);
    void setCatalog(QStringList value);
    void replaceCatalogPackages(QList<ZelkKit::CatalogPackage> value);
    void replaceCatalog(QStringList value);
    void setIsLoading(bool value);
    void setLastRefresh(std::optional<QDateTime> value);

    ZelkKit::CatalogStore *m_store = nullptr;
    std::optional<QString> m_setupError;
    QList<ZelkKit::InstalledPackage> m_installed;
    std::optional<ZelkKit::InstallStatus> m_status;
    QList<ZelkKit::CatalogPackage> m_catalogPackages;
    QList<ZelkKit::OutdatedItem> m_outdated;
    std::optional<ZelkKit::CLIInfo> m_cliInfo;
    std::optional<CompatibilityIssue> m_compatibilityIssue;
    QList<ZelkKit::DoctorFinding> m_doctorFindings;
    std::optional<ZelkKit::MirrorConfig> m_mirror;
    std::optional<ZelkKit::IndexStatus> m_indexStatus;
    QStringList m_catalog;
    bool m_isLoading = false;
    std::optional<QString> m_errorMessage;
    std::optional<QDateTime> m_lastRefresh;
};

} // namespace ReveZE
