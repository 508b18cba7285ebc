#include "LinkedVersions.h"

#include <QStringView>

namespace ZelkKit {

QHash<QString, QString> parseLinkedVersions(const QString &text)
{
    QHash<QString, QString> result;
    for (const QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
        qsizetype start = 0;
        while (start < line.size() && line.at(start) == u'@')
            ++start;
        const qsizetype at = line.indexOf(u'@', start);
        if (at < 0)
            continue;
        const QStringView name = line.sliced(start, at - start);
        const QStringView version = line.sliced(at + 1);
        if (name.isEmpty() || version.isEmpty())
            continue;
        result.insert(name.toString(), version.toString());
    }
    return result;
}

} // namespace ZelkKit
