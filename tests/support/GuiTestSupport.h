#pragma once

// Helpers of the widget tests (header only): a QApplication test main, a
// catalog store that answers from canned records and can hold its answers
// back (to see the window while a refresh runs), and small record builders.

#include "TestSupport.h"

#include <CatalogStore.h>
#include <DoctorRun.h>
#include <CLIInfo.h>
#include <InstallStatus.h>
#include <Models.h>
#include <ZelkCLI.h>
#include <ZelkCLIError.h>

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QFuture>
#include <QPromise>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>

// A test of widgets: like REVEZE_TEST_MAIN, with a QApplication. Unless the
// test's environment names a zelk, REVEZE_ZELK points at the tripwire, so
// that a model made without a store cannot reach a real zelk.
#define REVEZE_GUI_TEST_MAIN(TestObject)                                                      \
    int main(int argc, char **argv)                                                           \
    {                                                                                         \
        if (qEnvironmentVariableIsEmpty("REVEZE_ZELK"))                                       \
            qputenv("REVEZE_ZELK", QFile::encodeName(GuiTestSupport::tripwireZelk()));        \
        TestSupport::installMessageHandler();                                                 \
        QApplication app(argc, argv);                                                         \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                              \
        TestObject tc;                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                            \
        return TestSupport::finishRun(QTest::qExec(&tc, argc, argv));                         \
    }

namespace GuiTestSupport {

// The fixture that ends the test that starts it (see tripwire_zelk.cpp).
inline QString tripwireZelk()
{
    return TestSupport::fixture(QStringLiteral("tripwire_zelk"));
}

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

// A catalog store that answers every query the screens make from its public
// fields and never starts zelk: its own CLI is the tripwire, so a query it
// does not answer ends the test. Each query can be held (to see a screen
// while it loads) and failed, and is counted.
class FakeStore : public ZelkKit::CatalogStore
{
public:
    enum class Query {
        Version, Status, Installed, CatalogDocument, Outdated, Catalog, Info, Doctor, Mirror, IndexStatus,
        RefreshIndex, LinkedVersions, Configuration,
    };
    static constexpr Query allQueries[] = {
        Query::Version, Query::Status, Query::Installed, Query::CatalogDocument, Query::Outdated, Query::Catalog,
        Query::Info, Query::Doctor, Query::Mirror, Query::IndexStatus, Query::RefreshIndex, Query::LinkedVersions,
        Query::Configuration,
    };

    FakeStore()
        : CatalogStore(ZelkKit::ZelkCLI(tripwireZelk()), 600)
    {
        version.version = QStringLiteral("0.9.4");
        version.protocolNumber = 1;
        version.capabilities = {QStringLiteral("json-progress"), QStringLiteral("status")};
    }

    // The answers. Each is copied when its query starts: a test may change
    // the fields while a query is held, and may even end.
    ZelkKit::CLIInfo version;
    ZelkKit::InstallStatus installStatus;
    QList<ZelkKit::CatalogPackage> catalogPackages;
    QList<ZelkKit::OutdatedItem> outdatedList;
    // info(name) answers from here; a name without an entry fails as zelk
    // does for an unknown package.
    QHash<QString, ZelkKit::PackageInfo> infos;
    ZelkKit::DoctorRun doctorAnswer;
    ZelkKit::MirrorConfig mirror;
    ZelkKit::IndexStatus index;
    ZelkKit::ZelkCommandResult indexRefresh;
    QHash<QString, QString> linked;
    QString configurationText;

    // The force flag of every catalog-document query, in order.
    QList<bool> catalogForces;
    // The names info() was asked for, in order.
    QStringList infoRequests;

    int calls(Query query) const { return m_calls.value(query); }

    // The query fails with this error until succeed().
    void fail(Query query, ZelkKit::ZelkCLIError error) { m_failures.insert(query, std::move(error)); }
    void succeed(Query query) { m_failures.remove(query); }

    // Held queries wait until released; without an argument, every query.
    void hold() { hold(QList<Query>(std::begin(allQueries), std::end(allQueries))); }
    void hold(const QList<Query> &queries)
    {
        for (Query query : queries) {
            auto gate = std::make_shared<QPromise<void>>();
            gate->start();
            m_gates.insert(query, gate);
        }
    }
    void hold(Query query) { hold(QList<Query>{query}); }
    void release() { release(QList<Query>(std::begin(allQueries), std::end(allQueries))); }
    void release(const QList<Query> &queries)
    {
        for (Query query : queries) {
            if (std::shared_ptr<QPromise<void>> gate = m_gates.take(query))
                gate->finish();
        }
    }
    void release(Query query) { release(QList<Query>{query}); }
    bool holdsAny() const { return !m_gates.isEmpty(); }

    QCoro::Task<ZelkKit::Result<ZelkKit::CLIInfo>> versionInfo() override { return answer(Query::Version, version); }
    QCoro::Task<ZelkKit::Result<ZelkKit::InstallStatus>> status() override
    {
        return answer(Query::Status, installStatus);
    }
    QCoro::Task<ZelkKit::Result<QList<ZelkKit::InstalledPackage>>> installed() override
    {
        QList<ZelkKit::InstalledPackage> list;
        for (const ZelkKit::InstalledDetail &package : installStatus.packages)
            list.append(ZelkKit::InstalledPackage(package.name, package.versions));
        return answer(Query::Installed, list);
    }
    QCoro::Task<ZelkKit::Result<ZelkKit::CatalogDocument>> catalogDocument(bool force) override
    {
        catalogForces.append(force);
        ZelkKit::CatalogDocument document;
        document.packages = catalogPackages;
        return answer(Query::CatalogDocument, document);
    }
    QCoro::Task<ZelkKit::Result<QList<ZelkKit::OutdatedItem>>> outdated() override
    {
        return answer(Query::Outdated, outdatedList);
    }
    QCoro::Task<ZelkKit::Result<QStringList>> catalog(bool) override
    {
        QStringList names;
        for (const ZelkKit::CatalogPackage &package : catalogPackages)
            names.append(package.name);
        return answer(Query::Catalog, names);
    }
    QCoro::Task<ZelkKit::Result<ZelkKit::PackageInfo>> info(const QString &name, bool) override
    {
        infoRequests.append(name);
        const auto it = infos.constFind(name);
        if (it == infos.constEnd() && !m_failures.contains(Query::Info)) {
            const ZelkKit::ZelkCLIError unknown =
                ZelkKit::ZelkCLIError::commandFailed(1, QStringLiteral("no package named ") + name);
            m_calls[Query::Info] += 1;
            return settle<ZelkKit::PackageInfo>(gate(Query::Info), unknown);
        }
        return answer(Query::Info, it == infos.constEnd() ? ZelkKit::PackageInfo() : it.value());
    }
    QCoro::Task<ZelkKit::Result<ZelkKit::DoctorRun>> doctor() override { return answer(Query::Doctor, doctorAnswer); }
    QCoro::Task<ZelkKit::Result<ZelkKit::MirrorConfig>> mirrorConfig() override
    {
        return answer(Query::Mirror, mirror);
    }
    QCoro::Task<ZelkKit::Result<ZelkKit::IndexStatus>> indexStatus() override
    {
        return answer(Query::IndexStatus, index);
    }
    QCoro::Task<ZelkKit::Result<ZelkKit::ZelkCommandResult>> refreshIndex() override
    {
        return answer(Query::RefreshIndex, indexRefresh);
    }
    QCoro::Task<ZelkKit::Result<QHash<QString, QString>>> linkedVersions() override
    {
        return answer(Query::LinkedVersions, linked);
    }
    QCoro::Task<ZelkKit::Result<QString>> configuration() override
    {
        return answer(Query::Configuration, configurationText);
    }

private:
    template<typename T>
    QCoro::Task<ZelkKit::Result<T>> answer(Query query, T value)
    {
        m_calls[query] += 1;
        const auto failure = m_failures.constFind(query);
        if (failure != m_failures.constEnd())
            return settle<T>(gate(query), failure.value());
        return settle<T>(gate(query), std::move(value));
    }
    std::shared_ptr<QPromise<void>> gate(Query query) const { return m_gates.value(query); }

    // Not a member coroutine: the store may be gone when the wait ends.
    template<typename T>
    static QCoro::Task<ZelkKit::Result<T>> settle(std::shared_ptr<QPromise<void>> gate, ZelkKit::Result<T> result)
    {
        if (gate) {
            QFuture<void> future = gate->future();
            co_await future;
        }
        co_return result;
    }

    QHash<Query, int> m_calls;
    QHash<Query, ZelkKit::ZelkCLIError> m_failures;
    QHash<Query, std::shared_ptr<QPromise<void>>> m_gates;
};

} // namespace GuiTestSupport
