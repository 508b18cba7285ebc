#pragma once

// The one source of ReveZE's fixed texts. The application creates a single
// Localizer at start and hands it to every screen; a screen looks a text up
// with l(L::sectionInstalled) and redraws on languageChanged(), so a switch of
// language shows at once in every open screen.
//
// Texts that carry numbers or names are formats, filled without a locale:
//
//     l.format(L::installedCount, {qint64(1234)})   // "1234 installed" / "已安装 1234 个"
//     l.format(L::isInstalled, {name})              // "%@ is installed"
//     Localizer::format(text, {count, names})       // any format text
//
// The placeholders are:
//   %d      the next argument as a signed 64-bit decimal: plain digits, a
//           leading minus when negative, never a grouping separator;
//   %@      the next argument as text, inserted unchanged;
//   %N$d, %N$@   the N-th argument (from 1), whatever the position;
//   %%      a single percent sign.
// A text argument given to %d is inserted as it is, a number given to %@ is
// written in decimal. A placeholder without a matching argument, and any other
// "%" sequence, stay in the result as written. Each Chinese text carries the
// same placeholders in the same order as its English text, so one call serves
// both languages.
//
// The chosen language lives in the per-user settings (organisation and
// application "ReveZE") under "ReveZE.language" as "en" or "zh-Hans".

#include "AppLanguage.h"
#include "L.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <variant>

class QSettings;

namespace ReveZE {

class Localizer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(ReveZE::AppLanguage language READ language WRITE setLanguage NOTIFY languageChanged)

public:
    // Where the localizer keeps the chosen language and learns the system's
    // preferred languages; the defaults are the application's own. Tests give
    // a settings store of their own and a fixed list of languages.
    struct Environment
    {
        // Not owned; must outlive the localizer. Null: the per-user store.
        QSettings *settings = nullptr;
        // No value: systemPreferredLanguages().
        std::optional<QStringList> preferredLanguages;
    };

    using Table = QHash<L, QString>;
    using Entry = std::pair<L, QString>;
    using Argument = std::variant<qint64, QString>;

    // The language is the one passed; without one, the stored language; when
    // nothing valid is stored ("en" or "zh-Hans" exactly), the one detected
    // from the preferred languages. The choice is written back to the store
    // before the constructor returns, so a passed language replaces the stored
    // one and later launches no longer consult the system.
    explicit Localizer(std::optional<AppLanguage> language = std::nullopt, QObject *parent = nullptr);
    Localizer(std::optional<AppLanguage> language, const Environment &environment,
              QObject *parent = nullptr);

    AppLanguage language() const { return m_language; }
    // Every assignment writes the store; languageChanged() is emitted only when
    // the language actually changes.
    void setLanguage(AppLanguage language);

    // The text of `key` in the language in use. Never fails: a key missing from
    // that language's table gives the English text, one missing from both its
    // identifier.
    QString operator()(L key) const;
    QString text(L key) const { return (*this)(key); }

    // Looks `key` up and fills it (see the placeholders above).
    QString format(L key, const QList<Argument> &arguments) const;
    // Fills any format text, without a locale.
    static QString format(const QString &format, const QList<Argument> &arguments);

    // The settings key that holds the chosen language: "ReveZE.language".
    static QString settingsKey();

    // The text a language's table holds for `key`, if any.
    static std::optional<QString> tableText(AppLanguage language, L key);
    // The ordered (key, text) list a language's table is built from.
    static const QList<Entry> &entries(AppLanguage language);
    // The lookup rule over given tables: the language's table, then the
    // English one, then the key's identifier.
    static QString lookup(const Table &languageTable, const Table &englishTable, L key);

Q_SIGNALS:
    void languageChanged(ReveZE::AppLanguage language);

private:
    static const Table &table(AppLanguage language);
    AppLanguage initialLanguage(const Environment &environment) const;
    void store() const;

    QSettings *m_settings = nullptr;
    AppLanguage m_language = AppLanguage::English;
};

} // namespace ReveZE
