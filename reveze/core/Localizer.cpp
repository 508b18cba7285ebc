#include "Localizer.h"

#include <QSettings>

#include <array>

namespace ReveZE {

namespace {

// The English table, one entry per key, in the order of L.
const QList<Localizer::Entry> &englishEntries()
{
    static const QList<Localizer::Entry> entries{
        {L::sectionInstalled, QStringLiteral("Installed")},
        {L::sectionDiscover, QStringLiteral("Discover")},
        {L::sectionDoctor, QStringLiteral("Doctor")},
        {L::sectionConfig, QStringLiteral("Configuration")},
        {L::sectionUpgrades, QStringLiteral("Upgrades")},
        {L::language, QStringLiteral("Language")},
        {L::filterInstalled, QStringLiteral("Filter installed packages")},
        {L::searchIndex, QStringLiteral("Search the package index")},
        {L::selectPackage, QStringLiteral("Select a package")},
        {L::selectPackageDetail, QStringLiteral("Pick a package on the left to see its details.")},
        {L::nothingInstalled, QStringLiteral("Nothing installed")},
        {L::nothingInstalledDetail, QStringLiteral("Install a package with zelk install <name>.")},
        {L::readingInstalled, QStringLiteral("Reading installed packages…")},
        {L::readingIndex, QStringLiteral("Reading the package index…")},
        {L::inTheIndex, QStringLiteral("In the index")},
        {L::versionsCount, QStringLiteral("Version %1$@")},
        {L::versionsList, QStringLiteral("%d versions: %@")},
        {L::details, QStringLiteral("Details")},
        {L::latest, QStringLiteral("Latest")},
        {L::installedLabel, QStringLiteral("Installed")},
        {L::available, QStringLiteral("Available")},
        {L::requiresMacOS, QStringLiteral("Requires macOS")},
        {L::binary, QStringLiteral("Binary")},
        {L::homepage, QStringLiteral("Homepage")},
        {L::license, QStringLiteral("License")},
        {L::dependencies, QStringLiteral("Dependencies")},
        {L::installedBadge, QStringLiteral("Installed")},
        {L::refresh, QStringLiteral("Refresh")},
        {L::refreshHelp, QStringLiteral("Reload the installed list and the package index")},
        {L::installEllipsis, QStringLiteral("Install…")},
        {L::installHelp, QStringLiteral("Install a package with zelk")},
        {L::installedCount, QStringLiteral("%d installed")},
        {L::indexCount, QStringLiteral("%d in the index")},
        {L::updated, QStringLiteral("Updated %@")},
        {L::zelkError, QStringLiteral("zelk error")},
        {L::ok, QStringLiteral("OK")},
        {L::installTitle, QStringLiteral("Install a package")},
        {L::installSubtitle, QStringLiteral("Runs zelk with --json-progress and shows every event.")},
        {L::packageNamePrompt, QStringLiteral("Package name (e.g. jq, ffmpeg@6.1)")},
        {L::packageNameInvalidChars, QStringLiteral("Letters, digits and . _ + - @ only; separate names with a comma or a space.")},
        {L::packageNameDash, QStringLiteral("A name must start with a letter or digit.")},
        {L::operationInstall, QStringLiteral("Install")},
        {L::operationUpgrade, QStringLiteral("Upgrade")},
        {L::operationReinstall, QStringLiteral("Reinstall")},
        {L::arguments, QStringLiteral("Arguments")},
        {L::resumeDetail, QStringLiteral("Resume an interrupted download")},
        {L::removeOldDetail, QStringLiteral("Remove older versions after upgrading")},
        {L::removeOldHelpOn, QStringLiteral("Only keep the version just installed")},
        {L::removeOldHelpOff, QStringLiteral("Only zelk upgrade accepts this flag")},
        {L::additionalArguments, QStringLiteral("Additional arguments")},
        {L::commandPreview, QStringLiteral("Command preview")},
        {L::notSet, QStringLiteral("not set")},
        {L::cancel, QStringLiteral("Cancel")},
        {L::shortcutCancel, QStringLiteral("Esc / ⌘.")},
        {L::shortcutConfirm, QStringLiteral("⌘ ↩")},
        {L::copyError, QStringLiteral("Copy error")},
        {L::done, QStringLiteral("Done")},
        {L::installAnother, QStringLiteral("Install another")},
        {L::installAction, QStringLiteral("Install")},
        {L::finished, QStringLiteral("Finished")},
        {L::starting, QStringLiteral("Starting…")},
        {L::working, QStringLiteral("Working…")},
        {L::cancelled, QStringLiteral("Cancelled.")},
        {L::isInstalled, QStringLiteral("%@ is installed")},
        {L::quindleUnavailable, QStringLiteral("Quindle is not available.")},
        {L::dangerTitle, QStringLiteral("Dangerous arguments")},
        {L::dangerIntro, QStringLiteral("These arguments weaken a safety check:")},
        {L::dangerConfirm, QStringLiteral("Install anyway")},
        {L::dangerCancel, QStringLiteral("Cancel")},
        {L::dangerSkipSSL, QStringLiteral("turns off TLS certificate verification")},
        {L::dangerForce, QStringLiteral("installs even when the package declares a newer macOS")},
        {L::dangerInline, QStringLiteral("Dangerous: %@")},
        {L::yourPackages, QStringLiteral("Your packages")},
        {L::packagesCount, QStringLiteral("%d packages")},
        {L::filterAll, QStringLiteral("All")},
        {L::filterPackages, QStringLiteral("Packages")},
        {L::filterDependencies, QStringLiteral("Dependencies")},
        {L::hideDependencies, QStringLiteral("Hide dependencies")},
        {L::kindPackage, QStringLiteral("PACKAGE")},
        {L::kindDependency, QStringLiteral("DEPENDENCY")},
        {L::installedOn, QStringLiteral("Installed on")},
        {L::installReason, QStringLiteral("Reason")},
        {L::reasonRequestedByYou, QStringLiteral("Installed by user %@ (you)")},
        {L::reasonRequestedByOther, QStringLiteral("Installed by user %@")},
        {L::reasonRequestedUnknown, QStringLiteral("Installed by an unknown user")},
        {L::reasonDependency, QStringLiteral("Brought in as a dependency")},
        {L::size, QStringLiteral("Size")},
        {L::pathLabel, QStringLiteral("Path")},
        {L::archLabel, QStringLiteral("Architecture")},
        {L::sourceLabel, QStringLiteral("Source")},
        {L::commandsLabel, QStringLiteral("Commands")},
        {L::linkedLabel, QStringLiteral("linked")},
        {L::notLinkedLabel, QStringLiteral("not linked")},
        {L::dependents, QStringLiteral("Required by")},
        {L::noneDependents, QStringLiteral("Nothing depends on it.")},
        {L::uninstall, QStringLiteral("Uninstall")},
        {L::dependencyNotRemovable, QStringLiteral("Dependencies are installed for the packages that need them and cannot be removed on their own. Uninstall that package instead.")},
        {L::copyCommand, QStringLiteral("Copy")},
        {L::copied, QStringLiteral("Copied")},
        {L::doctorHint, QStringLiteral("Read-only check of the install tree. The exit code is the number of findings.")},
        {L::doctorClean, QStringLiteral("No problems found.")},
        {L::runCheck, QStringLiteral("Run again")},
        {L::configHint, QStringLiteral("What zelk actually uses: the install root and every data source. Passwords are masked by the CLI.")},
        {L::refreshAction, QStringLiteral("Refresh")},
        {L::upgradesTitle, QStringLiteral("Updates available")},
        {L::upgradesNone, QStringLiteral("Everything is up to date.")},
        {L::upgradesCount, QStringLiteral("%d updates")},
        {L::upgradeAction, QStringLiteral("Upgrade")},
        {L::upgradeAllAction, QStringLiteral("Upgrade all")},
        {L::compatTooNew, QStringLiteral("The installed zelk speaks protocol %d; this ReveZE understands %d. Please update ReveZE.")},
        {L::compatMissing, QStringLiteral("zelk %@ is missing %@. Run `zelk selfupdate`.")},
        {L::mirrorTitle, QStringLiteral("Data sources")},
        {L::mirrorSource, QStringLiteral("Source")},
        {L::mirrorValue, QStringLiteral("Address")},
        {L::indexTitle, QStringLiteral("Local index")},
        {L::indexPath, QStringLiteral("Path")},
        {L::indexAge, QStringLiteral("Age")},
        {L::indexPackages, QStringLiteral("Packages")},
        {L::indexState, QStringLiteral("State")},
        {L::indexFresh, QStringLiteral("up to date")},
        {L::indexStale, QStringLiteral("stale")},
        {L::refreshIndex, QStringLiteral("Refresh index")},
        {L::errNetwork, QStringLiteral("Network problem. Check the connection or proxy, then retry.")},
        {L::errTLS, QStringLiteral("Certificate problem. Check the mirror address or ask the administrator.")},
        {L::errHTTP, QStringLiteral("The server answered with an error. Retry later.")},
        {L::errNotFound, QStringLiteral("The package name was not found in the index.")},
        {L::errData, QStringLiteral("The index record is defective. Report it to the administrator.")},
        {L::errPermission, QStringLiteral("Permission denied: this install tree is not writable.")},
        {L::errDisk, QStringLiteral("Not enough disk space.")},
        {L::errLocked, QStringLiteral("Another zelk is running. Wait for it to finish.")},
        {L::errDeclined, QStringLiteral("A confirmation was declined.")},
        {L::errUsage, QStringLiteral("The command line was invalid.")},
        {L::errFailed, QStringLiteral("The operation failed.")},
    };
    return entries;
}

// The Simplified Chinese table, one entry per key, in the order of L.
const QList<Localizer::Entry> &chineseEntries()
{
    static const QList<Localizer::Entry> entries{
        {L::sectionInstalled, QStringLiteral("已安装")},
        {L::sectionDiscover, QStringLiteral("浏览索引")},
        {L::sectionDoctor, QStringLiteral("诊断")},
        {L::sectionConfig, QStringLiteral("配置")},
        {L::sectionUpgrades, QStringLiteral("升级")},
        {L::language, QStringLiteral("语言")},
        {L::filterInstalled, QStringLiteral("筛选已安装的软件包")},
        {L::searchIndex, QStringLiteral("搜索软件包索引")},
        {L::selectPackage, QStringLiteral("选择一个软件包")},
        {L::selectPackageDetail, QStringLiteral("在左侧选一个软件包查看详情。")},
        {L::nothingInstalled, QStringLiteral("还没有安装任何软件包")},
        {L::nothingInstalledDetail, QStringLiteral("用 zelk install <名称> 安装一个。")},
        {L::readingInstalled, QStringLiteral("正在读取已安装的软件包…")},
        {L::readingIndex, QStringLiteral("正在读取软件包索引…")},
        {L::inTheIndex, QStringLiteral("索引中")},
        {L::versionsCount, QStringLiteral("版本 %1$@")},
        {L::versionsList, QStringLiteral("%d 个版本：%@")},
        {L::details, QStringLiteral("详情")},
        {L::latest, QStringLiteral("最新版本")},
        {L::installedLabel, QStringLiteral("已安装")},
        {L::available, QStringLiteral("可安装")},
        {L::requiresMacOS, QStringLiteral("需要 macOS")},
        {L::binary, QStringLiteral("可执行文件")},
        {L::homepage, QStringLiteral("主页")},
        {L::license, QStringLiteral("许可证")},
        {L::dependencies, QStringLiteral("依赖")},
        {L::installedBadge, QStringLiteral("已安装")},
        {L::refresh, QStringLiteral("刷新")},
        {L::refreshHelp, QStringLiteral("重新读取已安装列表与软件包索引")},
        {L::installEllipsis, QStringLiteral("安装…")},
        {L::installHelp, QStringLiteral("用 zelk 安装一个软件包")},
        {L::installedCount, QStringLiteral("已安装 %d 个")},
        {L::indexCount, QStringLiteral("索引共 %d 个")},
        {L::updated, QStringLiteral("更新于 %@")},
        {L::zelkError, QStringLiteral("zelk 出错")},
        {L::ok, QStringLiteral("确定")},
        {L::installTitle, QStringLiteral("安装软件包")},
        {L::installSubtitle, QStringLiteral("以 --json-progress 运行 zelk，并显示每一个事件。")},
        {L::packageNamePrompt, QStringLiteral("软件包名（例如 jq、ffmpeg@6.1）")},
        {L::packageNameInvalidChars, QStringLiteral("只允许字母、数字和 . _ + - @，多个包用逗号或空格分隔。")},
        {L::packageNameDash, QStringLiteral("包名必须以字母或数字开头。")},
        {L::operationInstall, QStringLiteral("安装")},
        {L::operationUpgrade, QStringLiteral("升级")},
        {L::operationReinstall, QStringLiteral("重装")},
        {L::arguments, QStringLiteral("参数")},
        {L::resumeDetail, QStringLiteral("续传被中断的下载")},
        {L::removeOldDetail, QStringLiteral("升级后移除旧版本")},
        {L::removeOldHelpOn, QStringLiteral("只保留刚装上的版本")},
        {L::removeOldHelpOff, QStringLiteral("只有 zelk upgrade 接受这个参数")},
        {L::additionalArguments, QStringLiteral("附加参数")},
        {L::commandPreview, QStringLiteral("命令预览")},
        {L::notSet, QStringLiteral("未设置")},
        {L::cancel, QStringLiteral("取消")},
        {L::shortcutCancel, QStringLiteral("Esc 或 ⌘.")},
        {L::shortcutConfirm, QStringLiteral("⌘ ↩")},
        {L::copyError, QStringLiteral("复制报错")},
        {L::done, QStringLiteral("完成")},
        {L::installAnother, QStringLiteral("再装一个")},
        {L::installAction, QStringLiteral("安装")},
        {L::finished, QStringLiteral("已完成")},
        {L::starting, QStringLiteral("正在启动…")},
        {L::working, QStringLiteral("正在执行…")},
        {L::cancelled, QStringLiteral("已取消。")},
        {L::isInstalled, QStringLiteral("%@ 已安装")},
        {L::quindleUnavailable, QStringLiteral("Quindle 不可用。")},
        {L::dangerTitle, QStringLiteral("存在危险参数")},
        {L::dangerIntro, QStringLiteral("下面这些参数会降低安全性或兼容性检查：")},
        {L::dangerConfirm, QStringLiteral("仍然安装")},
        {L::dangerCancel, QStringLiteral("取消")},
        {L::dangerSkipSSL, QStringLiteral("关闭 TLS 证书校验")},
        {L::dangerForce, QStringLiteral("即使软件包声明更高的 macOS 版本也强行安装")},
        {L::dangerInline, QStringLiteral("危险参数：%@")},
        {L::yourPackages, QStringLiteral("你的软件包")},
        {L::packagesCount, QStringLiteral("%d 个软件包")},
        {L::filterAll, QStringLiteral("全部")},
        {L::filterPackages, QStringLiteral("软件包")},
        {L::filterDependencies, QStringLiteral("依赖")},
        {L::hideDependencies, QStringLiteral("隐藏依赖项")},
        {L::kindPackage, QStringLiteral("软件包")},
        {L::kindDependency, QStringLiteral("依赖")},
        {L::installedOn, QStringLiteral("安装日期")},
        {L::installReason, QStringLiteral("安装原因")},
        {L::reasonRequestedByYou, QStringLiteral("用户%@(你)安装")},
        {L::reasonRequestedByOther, QStringLiteral("用户%@安装")},
        {L::reasonRequestedUnknown, QStringLiteral("用户未知安装")},
        {L::reasonDependency, QStringLiteral("作为依赖被带入")},
        {L::size, QStringLiteral("大小")},
        {L::pathLabel, QStringLiteral("路径")},
        {L::archLabel, QStringLiteral("架构")},
        {L::sourceLabel, QStringLiteral("来源")},
        {L::commandsLabel, QStringLiteral("可执行文件")},
        {L::linkedLabel, QStringLiteral("已链接")},
        {L::notLinkedLabel, QStringLiteral("未链接")},
        {L::dependents, QStringLiteral("依赖此项的软件包")},
        {L::noneDependents, QStringLiteral("没有软件包依赖它。")},
        {L::uninstall, QStringLiteral("卸载")},
        {L::dependencyNotRemovable, QStringLiteral("依赖是为需要它的软件包安装的，不能单独卸载。请卸载对应的软件包。")},
        {L::copyCommand, QStringLiteral("复制")},
        {L::copied, QStringLiteral("已复制")},
        {L::doctorHint, QStringLiteral("只读检查安装树；退出码就是发现的问题数量。")},
        {L::doctorClean, QStringLiteral("未发现问题。")},
        {L::runCheck, QStringLiteral("重新检查")},
        {L::configHint, QStringLiteral("zelk 实际使用的地址：安装根与各数据源。密码由 CLI 打码。")},
        {L::refreshAction, QStringLiteral("刷新")},
        {L::upgradesTitle, QStringLiteral("有可用更新")},
        {L::upgradesNone, QStringLiteral("全部已是最新。")},
        {L::upgradesCount, QStringLiteral("%d 个更新")},
        {L::upgradeAction, QStringLiteral("升级")},
        {L::upgradeAllAction, QStringLiteral("全部升级")},
        {L::compatTooNew, QStringLiteral("本机 zelk 的协议号是 %d，本界面只认到 %d。请升级 ReveZE。")},
        {L::compatMissing, QStringLiteral("zelk %@ 缺少能力：%@。请先运行 `zelk selfupdate`。")},
        {L::mirrorTitle, QStringLiteral("数据源")},
        {L::mirrorSource, QStringLiteral("来源")},
        {L::mirrorValue, QStringLiteral("地址")},
        {L::indexTitle, QStringLiteral("本地索引")},
        {L::indexPath, QStringLiteral("路径")},
        {L::indexAge, QStringLiteral("已存在时长")},
        {L::indexPackages, QStringLiteral("包数")},
        {L::indexState, QStringLiteral("状态")},
        {L::indexFresh, QStringLiteral("最新")},
        {L::indexStale, QStringLiteral("已过期")},
        {L::refreshIndex, QStringLiteral("刷新索引")},
        {L::errNetwork, QStringLiteral("网络问题：检查连接或代理后重试。")},
        {L::errTLS, QStringLiteral("证书问题：检查镜像地址，或联系管理员换证书。")},
        {L::errHTTP, QStringLiteral("服务器返回错误，稍后重试。")},
        {L::errNotFound, QStringLiteral("索引里没有这个包名。")},
        {L::errData, QStringLiteral("索引记录有缺陷，请报告给管理员。")},
        {L::errPermission, QStringLiteral("权限不足：这棵安装树不可写。")},
        {L::errDisk, QStringLiteral("磁盘空间不足。")},
        {L::errLocked, QStringLiteral("另一个 zelk 正在运行，等它结束。")},
        {L::errDeclined, QStringLiteral("有一项确认被拒绝了。")},
        {L::errUsage, QStringLiteral("命令行本身写错了。")},
        {L::errFailed, QStringLiteral("操作失败。")},
    };
    return entries;
}

Localizer::Table tableFrom(const QList<Localizer::Entry> &entries)
{
    Localizer::Table table;
    table.reserve(entries.size());
    for (const auto &[key, text] : entries)
        table.insert(key, text);
    return table;
}

void appendArgument(QString &out, const Localizer::Argument &argument)
{
    if (const auto *number = std::get_if<qint64>(&argument))
        out += QString::number(*number);
    else
        out += std::get<QString>(argument);
}

} // namespace

Localizer::Localizer(std::optional<AppLanguage> language, QObject *parent)
    : Localizer(language, Environment{}, parent)
{
}

Localizer::Localizer(std::optional<AppLanguage> language, const Environment &environment,
                     QObject *parent)
    : QObject(parent), m_settings(environment.settings)
{
    if (!m_settings)
        m_settings = new QSettings(QStringLiteral("ReveZE"), QStringLiteral("ReveZE"), this);
    m_language = language ? *language : initialLanguage(environment);
    store();
}

AppLanguage Localizer::initialLanguage(const Environment &environment) const
{
    const QVariant stored = m_settings->value(settingsKey());
    if (stored.typeId() == QMetaType::QString) {
        if (const auto language = appLanguageFromRawValue(stored.toString()))
            return *language;
    }
    return detectLanguage(environment.preferredLanguages ? *environment.preferredLanguages
                                                         : systemPreferredLanguages());
}

void Localizer::setLanguage(AppLanguage language)
{
    if (language == m_language) {
        store();
        return;
    }
    m_language = language;
    store();
    Q_EMIT languageChanged(m_language);
}

void Localizer::store() const
{
    m_settings->setValue(settingsKey(), rawValue(m_language));
    m_settings->sync();
}

QString Localizer::settingsKey()
{
    return QStringLiteral("ReveZE.language");
}

QString Localizer::operator()(L key) const
{
    return lookup(table(m_language), table(AppLanguage::English), key);
}

QString Localizer::format(L key, const QList<Argument> &arguments) const
{
    return format((*this)(key), arguments);
}

QString Localizer::format(const QString &format, const QList<Argument> &arguments)
{
    QString out;
    out.reserve(format.size() + 16 * arguments.size());
    qsizetype next = 0; // the argument the next %d or %@ takes
    const qsizetype size = format.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = format.at(i);
        if (c != u'%' || i + 1 == size) {
            out += c;
            ++i;
            continue;
        }
        const QChar kind = format.at(i + 1);
        if (kind == u'%') {
            out += u'%';
            i += 2;
            continue;
        }
        if (kind == u'd' || kind == u'@') {
            if (next < arguments.size())
                appendArgument(out, arguments.at(next));
            else
                out += QStringView(format).mid(i, 2);
            ++next;
            i += 2;
            continue;
        }
        // %N$d or %N$@: the N-th argument, counted from 1.
        qsizetype j = i + 1;
        qint64 position = 0;
        while (j < size && format.at(j) >= u'0' && format.at(j) <= u'9') {
            // Past the last argument the exact number no longer matters; stop
            // growing it so that a long run of digits cannot overflow.
            if (position <= arguments.size())
                position = position * 10 + (format.at(j).unicode() - u'0');
            ++j;
        }
        if (j > i + 1 && j + 1 < size && format.at(j) == u'$'
            && (format.at(j + 1) == u'd' || format.at(j + 1) == u'@')) {
            if (position >= 1 && position <= arguments.size())
                appendArgument(out, arguments.at(position - 1));
            else
                out += QStringView(format).mid(i, j + 2 - i);
            i = j + 2;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

std::optional<QString> Localizer::tableText(AppLanguage language, L key)
{
    const Table &t = table(language);
    const auto it = t.constFind(key);
    if (it == t.constEnd())
        return std::nullopt;
    return *it;
}

const QList<Localizer::Entry> &Localizer::entries(AppLanguage language)
{
    return language == AppLanguage::ChineseSimplified ? chineseEntries() : englishEntries();
}

QString Localizer::lookup(const Table &languageTable, const Table &englishTable, L key)
{
    if (const auto it = languageTable.constFind(key); it != languageTable.constEnd())
        return *it;
    if (const auto it = englishTable.constFind(key); it != englishTable.constEnd())
        return *it;
    return identifier(key);
}

const Localizer::Table &Localizer::table(AppLanguage language)
{
    // Built once, on the first lookup, English first; never changed after.
    static const std::array<Table, 2> tables{tableFrom(englishEntries()), tableFrom(chineseEntries())};
    return tables[language == AppLanguage::ChineseSimplified ? 1 : 0];
}

} // namespace ReveZE
