#pragma once

// The fold of the model's catalog (CatalogSearch), made once per catalog
// and kept beside the model, so that coming back to Discover does not fold
// 100,000 packages again. One cache lives as a child of each AppModel; the
// Discover screen asks for the fold and is told when it is ready.
//
// A catalog of more than synchronousLimit() packages is folded on the
// worker pool: folding and measuring 100,000 descriptions costs far more
// than a frame. A fold that arrives after the catalog changed again is
// dropped; the newer one is on its way by then.

#include "discover/CatalogSearch.h"

#include <QFont>
#include <QObject>

#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>

namespace ReveZE {

class AppModel;

class CatalogFoldCache : public QObject
{
    Q_OBJECT

public:
    // The model's cache, made on first use.
    static CatalogFoldCache &of(AppModel &model);

    // Counts the model's catalogs: it changes whenever the catalog does.
    quint64 generation() const { return m_generation; }
    // The fold of the current catalog, once it is ready.
    const std::shared_ptr<const CatalogFold> &fold() const { return m_fold; }
    bool isFolding() const { return m_pending.has_value(); }

    // Folds the current catalog, with its descriptions measured in `font`,
    // unless that fold is ready or under way; ready() says when it is. From
    // then on every new catalog is folded in the last font asked for as soon
    // as the model has it.
    void request(const QFont &font);

    qsizetype synchronousLimit() const { return m_synchronousLimit; }
    void setSynchronousLimit(qsizetype limit) { m_synchronousLimit = limit; }

Q_SIGNALS:
    void ready();

private:
    explicit CatalogFoldCache(AppModel &model);
    void onCatalogChanged();
    QCoro::Task<> foldAway(QList<ZelkKit::CatalogPackage> packages, QFont font, quint64 generation);
    void arrived(std::shared_ptr<const CatalogFold> fold);

    AppModel &m_model;
    quint64 m_generation = 1;
    std::shared_ptr<const CatalogFold> m_fold;
    // The generation and font of the fold under way.
    std::optional<std::pair<quint64, QFont>> m_pending;
    std::optional<QFont> m_font;
    qsizetype m_synchronousLimit = 2000;
};

} // namespace ReveZE
