#include "detail/DetailRows.h"

#include "detail/DetailFormats.h"
#include "detail/InstallReasonText.h"
#include "Localizer.h"

namespace ReveZE {

QList<DetailRow> DetailRows::all()
{
    return {DetailRow::Installed, DetailRow::Latest, DetailRow::InstalledOn, DetailRow::Reason,
            DetailRow::Size, DetailRow::Arch, DetailRow::Path, DetailRow::Commands,
            DetailRow::Source, DetailRow::License, DetailRow::Homepage};
}

L DetailRows::labelKey(DetailRow row)
{
    switch (row) {
    case DetailRow::Installed: return L::installedLabel;
    case DetailRow::Latest: return L::latest;
    case DetailRow::InstalledOn: return L::installedOn;
    case DetailRow::Reason: return L::installReason;
    case DetailRow::Size: return L::size;
    case DetailRow::Arch: return L::archLabel;
    case DetailRow::Path: return L::pathLabel;
    case DetailRow::Commands: return L::commandsLabel;
    case DetailRow::Source: return L::sourceLabel;
    case DetailRow::License: return L::license;
    case DetailRow::Homepage: return L::homepage;
    }
    Q_UNREACHABLE();
    return L::details;
}

QString DetailRows::rawName(DetailRow row)
{
    switch (row) {
    case DetailRow::Installed: return QStringLiteral("installed");
    case DetailRow::Latest: return QStringLiteral("latest");
    case DetailRow::InstalledOn: return QStringLiteral("installedOn");
    case DetailRow::Reason: return QStringLiteral("reason");
    case DetailRow::Size: return QStringLiteral("size");
    case DetailRow::Arch: return QStringLiteral("arch");
    case DetailRow::Path: return QStringLiteral("path");
    case DetailRow::Commands: return QStringLiteral("commands");
    case DetailRow::Source: return QStringLiteral("source");
    case DetailRow::License: return QStringLiteral("license");
    case DetailRow::Homepage: return QStringLiteral("homepage");
    }
    Q_UNREACHABLE();
    return {};
}

std::optional<QUrl> DetailRows::homepageAddress(const QString &text)
{
    const QUrl address(text, QUrl::StrictMode);
    if (!address.isValid() || address.scheme().isEmpty())
        return std::nullopt;
    return address;
}

bool DetailRows::opensInBrowser(const QUrl &address)
{
    const QString scheme = address.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QList<DetailRowContent> DetailRows::rows(const ZelkKit::InstalledDetail *detail,
                                         const std::optional<ZelkKit::PackageInfo> &info, const Localizer &l,
                                         const QString &currentUser, const QLocale &locale)
{
    QList<DetailRowContent> rows;
    if (detail)
        rows.append({DetailRow::Installed, detail->name + QLatin1Char(' ') + detail->version, std::nullopt});
    const std::optional<QString> available = info ? info->availableVersion() : std::nullopt;
    rows.append({DetailRow::Latest, available.value_or(QStringLiteral("—")), std::nullopt});
    if (detail) {
        if (const std::optional<QDateTime> installed = detail->installedDate())
            rows.append({DetailRow::InstalledOn, DetailFormats::installDate(*installed, locale), std::nullopt});
        rows.append({DetailRow::Reason, InstallReasonText::describe(*detail, currentUser, l), std::nullopt});
        rows.append({DetailRow::Size, DetailFormats::byteCount(detail->sizeBytes, locale), std::nullopt});
        if (detail->arch)
            rows.append({DetailRow::Arch, *detail->arch, std::nullopt});
        rows.append({DetailRow::Path, detail->path, std::nullopt});
        if (!detail->commands.isEmpty())
            rows.append({DetailRow::Commands, detail->commands.join(QStringLiteral(", ")), std::nullopt});
        if (!detail->source.isEmpty())
            rows.append({DetailRow::Source, detail->source, std::nullopt});
    }
    if (info && info->license && !info->license->isEmpty())
        rows.append({DetailRow::License, *info->license, std::nullopt});
    if (info && info->homepage) {
        if (const std::optional<QUrl> address = homepageAddress(*info->homepage)) {
            rows.append({DetailRow::Homepage, *info->homepage,
                         opensInBrowser(*address) ? address : std::nullopt});
        }
    }
    return rows;
}

} // namespace ReveZE
