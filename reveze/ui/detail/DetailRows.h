#pragma once

// Which rows the detail's grid shows for a package, and what each says: the
// installed rows only for an installed package (some only when zelk gave
// their value), Latest always, License and Homepage from the index. A pure
// function of the records, the localizer, the current user and the locale,
// so tests read it without a window.

#include "L.h"

#include <InstallStatus.h>
#include <Models.h>

#include <QList>
#include <QLocale>
#include <QString>
#include <QUrl>

#include <optional>

namespace ReveZE {

class Localizer;

enum class DetailRow { Installed, Latest, InstalledOn, Reason, Size, Arch, Path, Commands, Source, License, Homepage };

struct DetailRowContent {
    DetailRow row;
    QString value;
    // Only for a homepage that may be opened in the browser.
    std::optional<QUrl> link;

    friend bool operator==(const DetailRowContent &, const DetailRowContent &) = default;
};

class DetailRows
{
public:
    // Every row in grid order.
    static QList<DetailRow> all();
    static L labelKey(DetailRow row);
    // The name tests and assistive technology know the row's cells by.
    static QString rawName(DetailRow row);

    // The rows shown, in order. `detail` is the installed package (null when
    // it is not installed or there is no install status); `info` what the
    // index says, once loaded.
    static QList<DetailRowContent> rows(const ZelkKit::InstalledDetail *detail,
                                        const std::optional<ZelkKit::PackageInfo> &info, const Localizer &l,
                                        const QString &currentUser, const QLocale &locale);

    // The homepage text as an address, when it parses as one (with a scheme);
    // the row is shown exactly then.
    static std::optional<QUrl> homepageAddress(const QString &text);
    // Whether an address is opened in the browser on a click: http and https
    // only. Any other scheme (file:, custom handlers, javascript:) stays
    // plain text.
    static bool opensInBrowser(const QUrl &address);
};

} // namespace ReveZE
