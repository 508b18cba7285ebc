#include "install/InstallForm.h"

#include "Localizer.h"

#include <ShellWords.h>
#include <TextSegments.h>

#include <QSet>

using namespace ZelkKit;

namespace ReveZE {

namespace {

QString trimmedName(const QString &text)
{
    return TextSegments::trimmedSpacesAndTabs(text).toString();
}

bool isWhiteSpace(QStringView character)
{
    return QChar::isSpace(TextSegments::firstScalar(character));
}

bool anyEntryStartsBadly(const QString &text)
{
    const QStringList names = PackageNameRules::entries(text);
    return std::any_of(names.cbegin(), names.cend(), [](const QString &name) { return PackageNameRules::startsBadly(name); });
}

} // namespace

OperationArguments InstallForm::arguments() const
{
    return OperationArguments(operation, {trimmedName(packageName)}, resume, removeOldVersions, maxTime, contentTime,
                              connectTimeout, extraArguments, true, upgradingAll);
}

bool InstallForm::canStart(bool running) const
{
    if (running || arguments().isEmptyPackageList())
        return false;
    return upgradingAll || PackageNameRules::isValid(packageName);
}

QList<PackageNameRules::Problem> InstallForm::packageNameProblems() const
{
    if (upgradingAll)
        return {};
    return PackageNameRules::problems(packageName);
}

std::optional<L> InstallForm::packageNameHintKey() const
{
    if (!packageNameProblems().isEmpty())
        return L::packageNameInvalidChars;
    if (!upgradingAll && anyEntryStartsBadly(packageName))
        return L::packageNameDash;
    return std::nullopt;
}

std::optional<QString> InstallForm::packageNameHint(const Localizer &l) const
{
    if (const std::optional<L> key = packageNameHintKey())
        return l(*key);
    return std::nullopt;
}

StyledText InstallForm::highlightedPackageName() const
{
    QSet<qsizetype> marked;
    for (const PackageNameRules::Problem &problem : packageNameProblems())
        marked.insert(problem.position);
    const bool badStart = !upgradingAll && anyEntryStartsBadly(packageName);

    StyledText text;
    bool entryStart = true;
    qsizetype index = 0;
    for (const QStringView character : TextSegments::graphemeClusters(packageName)) {
        const bool mark = marked.contains(index) || (entryStart && badStart && !isWhiteSpace(character));
        text.append(character.toString(), mark ? StyledText::Role::Marked : StyledText::Role::Plain);
        entryStart = character == u"," || isWhiteSpace(character);
        ++index;
    }
    return text;
}

StyledText InstallForm::previewText() const
{
    const QString typed = upgradingAll ? QString() : trimmedName(packageName);
    const bool invalid = !typed.isEmpty() && !PackageNameRules::isValid(typed);
    const QStringList entries = PackageNameRules::entries(typed);
    const QSet<QString> names(entries.cbegin(), entries.cend());

    StyledText text;
    const QStringList pieces = arguments().preview().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString &piece = pieces.at(i);
        if (i > 0)
            text.append(QStringLiteral(" "), StyledText::Role::Plain);
        if (i == 0) {
            text.append(piece, StyledText::Role::Secondary);
        } else if (i == 1) {
            text.append(piece, StyledText::Role::CommandWord);
        } else {
            qsizetype from = 0;
            qsizetype to = piece.size();
            while (from < to && piece.at(from) == QLatin1Char(','))
                ++from;
            while (to > from && piece.at(to - 1) == QLatin1Char(','))
                --to;
            const bool isName = names.contains(piece.sliced(from, to - from));
            text.append(piece, !isName ? StyledText::Role::Argument
                                       : invalid ? StyledText::Role::BadName : StyledText::Role::PackageName);
        }
    }
    return text;
}

QList<SafetyWarning> InstallForm::dangerousArguments() const
{
    return SafetyWarning::detect(ShellWords::split(extraArguments));
}

std::optional<QString> InstallForm::dangerLine(const Localizer &l) const
{
    const QList<SafetyWarning> warnings = dangerousArguments();
    if (warnings.isEmpty())
        return std::nullopt;
    QStringList flags;
    for (const SafetyWarning &warning : warnings)
        flags.append(warning.flag());
    return l.format(L::dangerInline, {flags.join(QStringLiteral(", "))});
}

} // namespace ReveZE
