#pragma once

// The keys of every fixed text that ReveZE's screens show. Localizer maps each
// key to its English and Simplified Chinese text; a key's identifier (its
// enumerator name, "sectionInstalled") is the text of last resort.

#include <QList>
#include <QString>
#include <QtGlobal>

#include <cstddef>

namespace ReveZE {

// The keys in declaration order. The list is written once, here, so that the
// enumeration, allKeys() and identifier() cannot drift apart.
#define REVEZE_L_KEYS(X) \
    X(sectionInstalled) X(sectionDiscover) X(sectionDoctor) X(sectionConfig) X(sectionUpgrades) \
    X(language) X(filterInstalled) X(searchIndex) X(selectPackage) X(selectPackageDetail) \
    X(nothingInstalled) X(nothingInstalledDetail) X(readingInstalled) X(readingIndex) X(inTheIndex) \
    X(versionsCount) X(versionsList) X(details) X(latest) X(installedLabel) X(available) \
    X(requiresMacOS) X(binary) X(homepage) X(license) X(dependencies) X(installedBadge) X(refresh) \
    X(refreshHelp) X(installEllipsis) X(installHelp) X(installedCount) X(indexCount) X(updated) \
    X(zelkError) X(ok) X(installTitle) X(installSubtitle) X(packageNamePrompt) \
    X(packageNameInvalidChars) X(packageNameDash) X(operationInstall) X(operationUpgrade) \
    X(operationReinstall) X(arguments) X(resumeDetail) X(removeOldDetail) X(removeOldHelpOn) \
    X(removeOldHelpOff) X(additionalArguments) X(commandPreview) X(notSet) X(cancel) \
    X(shortcutCancel) X(shortcutConfirm) X(copyError) X(done) X(installAnother) X(installAction) \
    X(finished) X(starting) X(working) X(cancelled) X(isInstalled) X(quindleUnavailable) \
    X(dangerTitle) X(dangerIntro) X(dangerConfirm) X(dangerCancel) X(dangerSkipSSL) X(dangerForce) \
    X(dangerInline) X(yourPackages) X(packagesCount) X(filterAll) X(filterPackages) \
    X(filterDependencies) X(hideDependencies) X(kindPackage) X(kindDependency) X(installedOn) \
    X(installReason) X(reasonRequestedByYou) X(reasonRequestedByOther) X(reasonRequestedUnknown) \
    X(reasonDependency) X(size) X(pathLabel) X(archLabel) X(sourceLabel) X(commandsLabel) \
    X(linkedLabel) X(notLinkedLabel) X(dependents) X(noneDependents) X(uninstall) \
    X(dependencyNotRemovable) X(copyCommand) X(copied) X(doctorHint) X(doctorClean) X(runCheck) \
    X(configHint) X(refreshAction) X(upgradesTitle) X(upgradesNone) X(upgradesCount) \
    X(upgradeAction) X(upgradeAllAction) X(compatTooNew) X(compatMissing) X(mirrorTitle) \
    X(mirrorSource) X(mirrorValue) X(indexTitle) X(indexPath) X(indexAge) X(indexPackages) \
    X(indexState) X(indexFresh) X(indexStale) X(refreshIndex) X(errNetwork) X(errTLS) X(errHTTP) \
    X(errNotFound) X(errData) X(errPermission) X(errDisk) X(errLocked) X(errDeclined) X(errUsage) \
    X(errFailed)

enum class L {
#define REVEZE_L_ENUMERATOR(name) name,
    REVEZE_L_KEYS(REVEZE_L_ENUMERATOR)
#undef REVEZE_L_ENUMERATOR
};

// Every key, in declaration order.
const QList<L> &allKeys();

// The key's enumerator name as text: identifier(L::sectionInstalled) is
// "sectionInstalled".
QString identifier(L key);

// Lets L serve as a QHash/QSet key (Qt 6.4 has no qHash for scoped enums).
inline size_t qHash(L key, size_t seed = 0) noexcept
{
    return ::qHash(static_cast<int>(key), seed);
}

} // namespace ReveZE
