#include "SafetyWarning.h"

#include <QHash>

#include <utility>

namespace ZelkKit {

namespace {

// The switches of zelk that weaken a safety check. Built on first use; C++
// guarantees that concurrent first callers see it built exactly once, and it
// is only read afterwards.
const QHash<QString, SafetyWarning::Reason> &dangerTable()
{
    static const QHash<QString, SafetyWarning::Reason> table{
        {QStringLiteral("--skip-ssl"), SafetyWarning::Reason::InsecureTransport},
        {QStringLiteral("-F"), SafetyWarning::Reason::UnsupportedOS},
        {QStringLiteral("--force"), SafetyWarning::Reason::UnsupportedOS},
    };
    return table;
}

// The first non-empty run of word without "=", or word itself when it has
// none. "=" is matched as a code unit, not as a whole user-perceived
// character: zelk splits "--force=<value>" at the "=" even when the value
// starts with a combining mark, and so must the check.
QStringView switchName(QStringView word)
{
    // An argument reaches zelk as a C string, so a pasted NUL ends it there:
    // "--force<NUL>x" arrives as "--force" and must be judged as such.
    if (const qsizetype nul = word.indexOf(QChar(u'\0')); nul >= 0)
        word = word.first(nul);
    qsizetype begin = 0;
    while (begin < word.size() && word[begin] == u'=')
        ++begin;
    if (begin == word.size())
        return word;
    const qsizetype end = word.indexOf(u'=', begin);
    return word.sliced(begin, (end < 0 ? word.size() : end) - begin);
}

} // namespace

QList<SafetyWarning> SafetyWarning::detect(const QStringList &words)
{
    const auto &table = dangerTable();
    QList<SafetyWarning> warnings;
    QList<Reason> reported;
    for (const QString &word : words) {
        const QStringView name = switchName(word);
        const auto found = table.constFind(name.toString());
        if (found == table.constEnd() || reported.contains(found.value()))
            continue;
        reported.append(found.value());
        warnings.append(SafetyWarning(name == u"-F" ? QStringLiteral("--force") : name.toString(), found.value()));
    }
    return warnings;
}

QString rawValue(SafetyWarning::Reason reason)
{
    switch (reason) {
    case SafetyWarning::Reason::InsecureTransport: return QStringLiteral("insecureTransport");
    case SafetyWarning::Reason::UnsupportedOS: return QStringLiteral("unsupportedOS");
    }
    return QString();
}

std::optional<SafetyWarning::Reason> reasonFromRawValue(QStringView raw)
{
    if (raw == u"insecureTransport")
        return SafetyWarning::Reason::InsecureTransport;
    if (raw == u"unsupportedOS")
        return SafetyWarning::Reason::UnsupportedOS;
    return std::nullopt;
}

} // namespace ZelkKit
