#pragma once

#include <QString>
#include <QtGlobal>

namespace ZelkKit {

// The one error type of the bridge. Its description is the text every layer
// above shows to the user, so the four texts are fixed and English only.
class ZelkCLIError
{
public:
    enum class Kind { LaunchFailed, CommandFailed, DecodeFailed, NotFound };

    static ZelkCLIError launchFailed(QString detail);
    static ZelkCLIError commandFailed(qint32 exitCode, QString message);
    static ZelkCLIError decodeFailed(QString detail);
    static ZelkCLIError notFound();

    Kind kind() const { return m_kind; }
    // launchFailed and decodeFailed: the detail; commandFailed: the message.
    const QString &detail() const { return m_text; }
    const QString &message() const { return m_text; }
    qint32 exitCode() const { return m_exitCode; }

    QString errorDescription() const;

    friend bool operator==(const ZelkCLIError &, const ZelkCLIError &) = default;

private:
    ZelkCLIError(Kind kind, QString text, qint32 exitCode)
        : m_kind(kind), m_text(std::move(text)), m_exitCode(exitCode) {}

    Kind m_kind;
    QString m_text;
    qint32 m_exitCode = 0;
};

} // namespace ZelkKit
