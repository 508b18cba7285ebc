#include "detail/InfoLoadQueue.h"

#include "AppModel.h"

namespace ReveZE {

InfoLoadQueue::InfoLoadQueue(AppModel &model)
    : QObject(&model), m_model(model)
{
    setObjectName(QStringLiteral("infoLoadQueue"));
}

InfoLoadQueue &InfoLoadQueue::of(AppModel &model)
{
    if (auto *queue = model.findChild<InfoLoadQueue *>(QStringLiteral("infoLoadQueue"), Qt::FindDirectChildrenOnly))
        return *queue;
    return *new InfoLoadQueue(model);
}

int InfoLoadQueue::waiting() const
{
    int count = 0;
    for (const Request &request : m_waiting)
        count += request.requester ? 1 : 0;
    return count;
}

void InfoLoadQueue::setMaximumInFlight(int maximum)
{
    m_maximumInFlight = qMax(1, maximum);
    startWaiting();
}

void InfoLoadQueue::request(QObject *requester, const QString &name, Answer answer)
{
    m_waiting.append({requester, name, std::move(answer)});
    startWaiting();
}

void InfoLoadQueue::startWaiting()
{
    while (m_inFlight < m_maximumInFlight && !m_waiting.isEmpty()) {
        Request next = m_waiting.takeFirst();
        // Nobody wants what a detail that went away asked for.
        if (!next.requester)
            continue;
        ++m_inFlight;
        [[maybe_unused]] QCoro::Task<> task = run(std::move(next));
    }
}

QCoro::Task<> InfoLoadQueue::run(Request request)
{
    QPointer<InfoLoadQueue> self(this);
    const QString name = request.name;
    ZelkKit::Result<ZelkKit::PackageInfo> result = co_await m_model.info(name, false);
    if (!self)
        co_return;
    --self->m_inFlight;
    if (request.requester)
        request.answer(result);
    if (!self)
        co_return;
    Q_EMIT self->loadFinished(name);
    if (self)
        self->startWaiting();
}

} // namespace ReveZE
