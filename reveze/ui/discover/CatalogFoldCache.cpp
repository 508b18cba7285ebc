#include "discover/CatalogFoldCache.h"

#include "AppModel.h"
#include "ReleaseOffThread.h"

#include <WorkerPool.h>

#include <QFuture>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>

using ZelkKit::CatalogPackage;

namespace ReveZE {

CatalogFoldCache &CatalogFoldCache::of(AppModel &model)
{
    if (auto *cache = model.findChild<CatalogFoldCache *>(QString(), Qt::FindDirectChildrenOnly))
        return *cache;
    return *new CatalogFoldCache(model);
}

CatalogFoldCache::CatalogFoldCache(AppModel &model)
    : QObject(&model), m_model(model)
{
    setObjectName(QStringLiteral("catalogFoldCache"));
    connect(&m_model, &AppModel::catalogPackagesChanged, this, &CatalogFoldCache::onCatalogChanged);
}

void CatalogFoldCache::onCatalogChanged()
{
    ++m_generation;
    // The old fold may be large: it goes on the worker pool.
    releaseOffThread(std::exchange(m_fold, nullptr));
    // Once asked for, the fold follows the catalog: a new one is folded as it
    // comes, so that Discover finds it ready.
    if (m_font)
        request(*m_font);
}

void CatalogFoldCache::request(const QFont &font)
{
    m_font = font;
    if (m_fold && m_fold->generation == m_generation && m_fold->font == font)
        return;
    if (m_pending && m_pending->first == m_generation && m_pending->second == font)
        return;
    const QList<CatalogPackage> &packages = m_model.catalogPackages();
    if (packages.size() <= m_synchronousLimit) {
        m_pending.reset();
        arrived(CatalogSearch::build(packages, font, m_generation));
        return;
    }
    m_pending.emplace(m_generation, font);
    [[maybe_unused]] QCoro::Task<> task = foldAway(packages, font, m_generation);
}

QCoro::Task<> CatalogFoldCache::foldAway(QList<CatalogPackage> packages, QFont font, quint64 generation)
{
    QPointer<CatalogFoldCache> self(this);
    // The worker holds the only other reference to the records while it
    // folds; if the model has moved on, they are freed there, not here.
    QFuture<std::shared_ptr<CatalogFold>> folding =
        ZelkKit::runInBackground([packages = std::move(packages), font, generation]() mutable {
            std::shared_ptr<CatalogFold> fold = CatalogSearch::build(packages, font, generation);
            packages = {};
            return fold;
        });
    std::shared_ptr<CatalogFold> fold = co_await folding;
    if (!self)
        co_return;
    if (self->m_pending && self->m_pending->first == fold->generation && self->m_pending->second == fold->font)
        self->m_pending.reset();
    self->arrived(std::move(fold));
}

void CatalogFoldCache::arrived(std::shared_ptr<const CatalogFold> fold)
{
    if (fold->generation != m_generation)
        return;
    m_fold = std::move(fold);
    Q_EMIT ready();
}

} // namespace ReveZE
