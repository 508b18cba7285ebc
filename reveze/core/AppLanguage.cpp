#include "AppLanguage.h"

#include <QLocale>

namespace ReveZE {

QString rawValue(AppLanguage language)
{
    switch (language) {
    case AppLanguage::English:
        return QStringLiteral("en");
    case AppLanguage::ChineseSimplified:
        return QStringLiteral("zh-Hans");
    }
    Q_UNREACHABLE();
    return QString();
}

QString nativeName(AppLanguage language)
{
    switch (language) {
    case AppLanguage::English:
        return QStringLiteral("English");
    case AppLanguage::ChineseSimplified:
        return QStringLiteral("简体中文");
    }
    Q_UNREACHABLE();
    return QString();
}

std::optional<AppLanguage> appLanguageFromRawValue(const QString &raw)
{
    for (AppLanguage language : allLanguages()) {
        if (raw == rawValue(language))
            return language;
    }
    return std::nullopt;
}

const QList<AppLanguage> &allLanguages()
{
    static const QList<AppLanguage> languages{AppLanguage::English, AppLanguage::ChineseSimplified};
    return languages;
}

AppLanguage detectLanguage(const QStringList &preferredLanguages)
{
    const QString first = preferredLanguages.isEmpty() ? QStringLiteral("en") : preferredLanguages.first();
    return first.startsWith(u"zh", Qt::CaseSensitive) ? AppLanguage::ChineseSimplified : AppLanguage::English;
}

AppLanguage detectLanguage()
{
    return detectLanguage(systemPreferredLanguages());
}

QStringList systemPreferredLanguages()
{
    return QLocale::system().uiLanguages();
}

} // namespace ReveZE
