#pragma once

// Helpers of the widget tests (header only): a QApplication test main, a
// catalog store that answers from canned records and can hold its answers
// back (to see the window while a refresh runs), and small record builders.

#include "TestSupport.h"

#include <CatalogStore.h>
#include <CLIInfo.h>
#include <InstallStatus.h>
#include <Models.h>
#include <ZelkCLI.h>
#include <ZelkCLIError.h>

#include <QApplication>
#include <QFuture>
#include <QPromise>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>

// A test of widgets: like REVEZE_TEST_MAIN, with a QApplication.
#define REVEZE_GUI_TEST_MAIN(TestObject) REVEZE_TEST_MAIN_IMPL(QApplication, TestObject)

namespace GuiTestSupport {

inline ZelkKit::InstalledDetail detail(const QString &name, const QString &version, bool dependency = false,
                                       bool linked = true)
{
    ZelkKit::InstalledDetail package;
    package.name = name;
    package.version = version;
    package.versions = {version};
    package.kind = dependency ? ZelkKit::InstalledDetail::Kind::Dependency : ZelkKit::InstalledDetail::Kind::Package;
    package.requested = !dependency;
    package.linked = linked;
    package.path = QStringLiteral("/opt/rurirud/pkgs/") + name + QLatin1Char('/') + version;
    return package;
}

inline ZelkKit::InstallStatus statusOf(QList<ZelkKit::InstalledDetail> packages)
{
    ZelkKit::InstallStatus status;
    status.baseDir = QStringLiteral("/opt/rurirud");
    status.packages = std::move(packages);
    return status;
}

inline QList<ZelkKit::OutdatedItem> outdatedItems(int count)
{
    QList<ZelkKit::OutdatedItem> items;
    for (int i = 0; i < count; ++i)
        items.append({QStringLiteral("pkg%1").arg(i), QStringLiteral("1.0"), QStringLiteral("1.1"),
                      QStringLiteral("outdated"), std::nullopt});
    return items;
}

// Answers every query of a full refresh from its public fields. hold() makes
// the queries wait until release(), so a test sees the window mid-refresh.
class FakeStore : public ZelkKit::CatalogStore
{
public:
    FakeStore()
        : CatalogStore(ZelkKit::ZelkCLI(QStringLiteral("/nonexistent/zelk")), 600)
    {
        version.version = QStringLiteral("0.9.4");
        version.protocolNumber = 1;
        version.capabilities = {QStringLiteral("json-progress"), QStringLiteral("status")};
    }

    ZelkKit::CLIInfo version;
    ZelkKit::InstallStatus installStatus;
    QList<ZelkKit::CatalogPackage> catalogPackages;
    QList<ZelkKit::OutdatedItem> outdatedList;
    // When set, the status query fails with it.
    std::optional<ZelkKit::ZelkCLIError> statusFailure;
    // The force flag of every catalog query, in order.
    QList<bool> catalogForces;

    void hold()
    {
        m_gate = std::make_shared<QPromise<void>>();
        m_gate->start();
    }
    void release()
    {
        if (!m_gate)
            return;
        std::shared_ptr<QPromise<void>> gate = std::move(m_gate);
        gate->finish();
    }

    // Every answer is copied before the wait: the test may change the
    // fields while a refresh is held, and may even end.
    QCoro::Task<ZelkKit::Result<ZelkKit::CLIInfo>> versionInfo() override
    {
        const ZelkKit::CLIInfo answer = version;
        co_await gate();
        co_return answer;
    }
    QCoro::Task<ZelkKit::Result<ZelkKit::InstallStatus>> status() override
    {
        const std::optional<ZelkKit::ZelkCLIError> failure = statusFailure;
        const ZelkKit::InstallStatus answer = installStatus;
        co_await gate();
        if (failure)
            co_return *failure;
        co_return answer;
    }
    QCoro::Task<ZelkKit::Result<QList<ZelkKit::InstalledPackage>>> installed() override
    {
        QList<ZelkKit::InstalledPackage> answer;
        for (const ZelkKit::InstalledDetail &package : installStatus.packages)
            answer.append(ZelkKit::InstalledPackage(package.name, package.versions));
        co_await gate();
        co_return answer;
    }
    QCoro::Task<ZelkKit::Result<ZelkKit::CatalogDocument>> catalogDocument(bool force) override
    {
        catalogForces.append(force);
        ZelkKit::CatalogDocument answer;
        answer.packages = catalogPackages;
        co_await gate();
        co_return answer;
    }
    QCoro::Task<ZelkKit::Result<QList<ZelkKit::OutdatedItem>>> outdated() override
    {
        const QList<ZelkKit::OutdatedItem> answer = outdatedList;
        co_await gate();
        co_return answer;
    }

private:
    // Not a member coroutine: the store may be gone when the wait ends.
    QCoro::Task<> gate()
    {
        return waitFor(m_gate);
    }
    static QCoro::Task<> waitFor(std::shared_ptr<QPromise<void>> gate)
    {
        if (!gate)
            co_return;
        QFuture<void> future = gate->future();
        co_await future;
    }

    std::shared_ptr<QPromise<void>> m_gate;
};

} // namespace GuiTestSupport
