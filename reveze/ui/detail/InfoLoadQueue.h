#pragma once

// The package details' loads of `zelk info`, few at a time.
//
// A detail asks once its selection has rested; the queue starts at most
// maximumInFlight loads at once and keeps the rest waiting in order. A load
// that has started runs to its end whatever happens to the detail that asked
// (a query is never cut short, and its answer still fills the store's
// cache); its answer is handed on only if that detail is still there. A
// detail that goes away while it waits is simply dropped, so moving quickly
// through a long list leaves no pile of zelk children behind it.
//
// One queue belongs to each model (a child object, made on first use), so it
// lives exactly as long as the model whose store it queries.

#include <Models.h>
#include <Result.h>

#include <QList>
#include <QObject>
#include <QPointer>

#include <qcoro/qcorotask.h>

#include <functional>

namespace ReveZE {

class AppModel;

class InfoLoadQueue : public QObject
{
    Q_OBJECT

public:
    using Answer = std::function<void(const ZelkKit::Result<ZelkKit::PackageInfo> &)>;

    static constexpr int defaultMaximumInFlight = 2;

    static InfoLoadQueue &of(AppModel &model);

    // Loads the package's information when a place is free; `answer` is
    // called with the result if `requester` still exists by then.
    void request(QObject *requester, const QString &name, Answer answer);

    int inFlight() const { return m_inFlight; }
    int waiting() const;
    int maximumInFlight() const { return m_maximumInFlight; }
    void setMaximumInFlight(int maximum);

Q_SIGNALS:
    // A started load ended (whether or not anyone still wanted it).
    void loadFinished(const QString &name);

private:
    explicit InfoLoadQueue(AppModel &model);

    struct Request {
        QPointer<QObject> requester;
        QString name;
        Answer answer;
    };

    void startWaiting();
    QCoro::Task<> run(Request request);

    AppModel &m_model;
    QList<Request> m_waiting;
    int m_inFlight = 0;
    int m_maximumInFlight = defaultMaximumInFlight;
};

} // namespace ReveZE
