#pragma once

// The interface languages of ReveZE. The raw value is what the per-user
// settings store holds ("en", "zh-Hans"); the native name is what the language
// picker shows, each language named in itself whatever language is in use.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ReveZE {

// In picker order.
enum class AppLanguage { English, ChineseSimplified };

// "en" or "zh-Hans".
QString rawValue(AppLanguage language);

// "English" or "简体中文".
QString nativeName(AppLanguage language);

// The language whose raw value is exactly `raw` (whole text, case-sensitive);
// no value for "EN", "zh-hans", " en" or anything else.
std::optional<AppLanguage> appLanguageFromRawValue(const QString &raw);

// Every language, in picker order.
const QList<AppLanguage> &allLanguages();

// The language selected by an ordered list of preferred language tags
// ("en-US", "zh-Hans-CN"): only the first tag counts, and any tag that begins
// with "zh" (zh-Hant-TW included) selects Simplified Chinese. An empty list
// selects English.
AppLanguage detectLanguage(const QStringList &preferredLanguages);

// detectLanguage() over the system's preferred languages.
AppLanguage detectLanguage();

// The system's ordered list of preferred interface languages.
QStringList systemPreferredLanguages();

} // namespace ReveZE
