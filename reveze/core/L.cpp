#include "L.h"

#include <array>

namespace ReveZE {

namespace {

#define REVEZE_L_IDENTIFIER(name) u"" #name,
constexpr std::array identifiers{REVEZE_L_KEYS(REVEZE_L_IDENTIFIER)};
#undef REVEZE_L_IDENTIFIER

} // namespace

const QList<L> &allKeys()
{
    static const QList<L> keys = [] {
        QList<L> list;
        list.reserve(qsizetype(identifiers.size()));
        for (std::size_t i = 0; i < identifiers.size(); ++i)
            list.append(static_cast<L>(i));
        return list;
    }();
    return keys;
}

QString identifier(L key)
{
    const auto index = static_cast<std::size_t>(key);
    if (index >= identifiers.size())
        return QString();
    return QString::fromUtf16(identifiers[index]);
}

} // namespace ReveZE
