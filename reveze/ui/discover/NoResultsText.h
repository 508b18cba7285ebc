#pragma once

// What the Discover list says when no package matches: Qt has no standard
// placeholder for a search without results, so the screen shows a
// magnifying glass and these two lines, in the language in use. They name
// the search text as typed. With no search text at all the index itself is
// empty (zelk listed nothing, or it could not be read and the window shows
// why); the lines say so and point to Refresh.

#include "AppLanguage.h"

#include <QString>

namespace ReveZE {

struct NoResultsText {
    QString title;
    QString detail;

    static NoResultsText of(AppLanguage language, const QString &search);
};

} // namespace ReveZE
