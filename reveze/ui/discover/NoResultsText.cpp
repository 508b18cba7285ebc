#include "discover/NoResultsText.h"

namespace ReveZE {

NoResultsText NoResultsText::of(AppLanguage language, const QString &search)
{
    const bool chinese = language == AppLanguage::ChineseSimplified;
    if (search.isEmpty()) {
        if (chinese)
            return {QStringLiteral("索引中没有软件包"), QStringLiteral("软件包索引为空或无法读取。点“刷新”重新读取。")};
        return {QStringLiteral("No Packages in the Index"),
                QStringLiteral("The package index is empty or could not be read. Click Refresh to read it again.")};
    }
    if (chinese)
        return {QStringLiteral("没有“") + search + QStringLiteral("”的结果"),
                QStringLiteral("请检查拼写或尝试新的搜索。")};
    return {QStringLiteral("No Results for “") + search + QStringLiteral("”"),
            QStringLiteral("Check the spelling or try a new search.")};
}

} // namespace ReveZE
