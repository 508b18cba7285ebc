// Fuzzes the reading of the install sheet's extra-arguments text: splitting
// into words, the danger check over those words, and their place at the end
// of the argument vector.
#include "OperationArguments.h"
#include "SafetyWarning.h"
#include "ShellWords.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace ZelkKit;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Only printable ASCII other than the quotes and the backslash, plus the
// three separators: text whose words are a plain split.
bool isPlainText(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'\t' || u == u'\n')
            continue;
        if (u < 0x21 || u > 0x7E || u == u'"' || u == u'\'' || u == u'\\')
            return false;
    }
    return true;
}

QStringList plainSplit(const QString &text)
{
    QStringList words;
    QString word;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n') {
            if (!word.isEmpty())
                words.append(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.isEmpty())
        words.append(word);
    return words;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList words = ShellWords::split(text);

    // Quotes and escapes are only ever dropped, never added.
    qsizetype total = 0;
    for (const QString &word : words)
        total += word.size();
    check(total <= text.size());

    if (isPlainText(text))
        check(words == plainSplit(text));

    const QList<SafetyWarning> warnings = SafetyWarning::detect(words);
    check(warnings.size() <= 2);
    for (qsizetype i = 0; i < warnings.size(); ++i) {
        const SafetyWarning &warning = warnings.at(i);
        check(warning.reason() == SafetyWarning::Reason::InsecureTransport
                  ? warning.flag() == u"--skip-ssl"
                  : warning.flag() == u"--force");
        for (qsizetype j = 0; j < i; ++j)
            check(warnings.at(j).reason() != warning.reason());
    }

    // Safety: a word that zelk would take as a dangerous switch (it receives
    // the word up to a NUL) always brings the warning for that switch.
    const auto warned = [&](SafetyWarning::Reason reason) {
        for (const SafetyWarning &warning : warnings) {
            if (warning.reason() == reason)
                return true;
        }
        return false;
    };
    for (const QString &word : words) {
        const qsizetype nul = word.indexOf(QChar(u'\0'));
        const QStringView received = QStringView(word).first(nul < 0 ? word.size() : nul);
        const qsizetype equals = received.indexOf(u'=');
        const QStringView name = received.first(equals < 0 ? received.size() : equals);
        if (name == u"--skip-ssl")
            check(warned(SafetyWarning::Reason::InsecureTransport));
        if (name == u"--force" || name == u"-F")
            check(warned(SafetyWarning::Reason::UnsupportedOS));
    }

    const OperationArguments request(ZelkOperation::Install, {}, false, false, {}, {}, {}, text, false, false);
    const QStringList arguments = request.argumentList();
    check(arguments.size() == words.size() + 1);
    check(arguments.sliced(1) == words);
    return 0;
}
