#pragma once

#include "InstallLog.h"

#include <OperationArguments.h>
#include <ZelkEvent.h>

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>

#include <memory>
#include <optional>

namespace ReveZE {

class AppModel;

// The observable state of one install, upgrade or reinstall run, on the GUI
// thread. start() hands the vector to the store's operation stream; a job of
// its own consumes the events, turning each into state and log lines, and
// records the outcome when the stream ends. The job — not the runner — owns
// the stream: a runner deleted mid-run lets zelk run to its end with its
// events dropped; only cancel() terminates the child. The model is held
// weakly and refreshed when a run ends.
//
// One run at a time: start() while a run is under way does nothing, and the
// events of a run that is no longer the current one (cancelled, replaced) are
// dropped. The runner emits its signals from inside its own updates, so it
// must not be deleted synchronously from a slot connected to them: use
// deleteLater().
class InstallRunner : public QObject
{
    Q_OBJECT

public:
    explicit InstallRunner(QObject *parent = nullptr);
    ~InstallRunner() override;

    bool isRunning() const { return m_isRunning; }
    bool finished() const { return m_finished; }
    const std::optional<qint64> &percent() const { return m_percent; }
    const QString &currentStep() const { return m_currentStep; }
    // Every line of the run, in order (a list of LogLine that grows by
    // chunks; see InstallLog).
    const InstallLog &log() const { return m_log; }
    const std::optional<QString> &installedPackage() const { return m_installedPackage; }
    const std::optional<QString> &failure() const { return m_failure; }
    const std::optional<QString> &failureCode() const { return m_failureCode; }

    void start(const ZelkKit::OperationArguments &arguments, AppModel &model);
    void cancel();

    static QString cancelledText();
    static QString unavailableText();

    // The consuming job of a run (defined in the source file).
    struct Job;

Q_SIGNALS:
    void isRunningChanged();
    void finishedChanged();
    void percentChanged();
    void currentStepChanged();
    void logChanged();
    // A line was appended (logChanged is emitted as well).
    void logLineAdded(const ReveZE::LogLine &line);
    void installedPackageChanged();
    void failureChanged();
    void failureCodeChanged();

private:
    void reset();
    void handle(const ZelkKit::ZelkEvent &event);
    void finish(std::optional<QString> error);
    void append(QString text, bool isError);

    void setIsRunning(bool value);
    void setFinished(bool value);
    void setPercent(std::optional<qint64> value);
    void setCurrentStep(QString value);
    void setInstalledPackage(std::optional<QString> value);
    void setFailure(std::optional<QString> value);
    void setFailureCode(std::optional<QString> value);

    bool m_isRunning = false;
    bool m_finished = false;
    std::optional<qint64> m_percent;
    QString m_currentStep;
    InstallLog m_log;
    std::optional<QString> m_installedPackage;
    std::optional<QString> m_failure;
    std::optional<QString> m_failureCode;
    std::shared_ptr<Job> m_task;
    QPointer<AppModel> m_model;
    std::optional<QString> m_errorEventMessage;
    std::optional<QString> m_errorEventCode;
};

} // namespace ReveZE
