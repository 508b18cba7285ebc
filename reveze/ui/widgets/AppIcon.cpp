#include "widgets/AppIcon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <dlfcn.h>

#ifndef REVEZE_RESOURCES_FROM_PROGRAM
#define REVEZE_RESOURCES_FROM_PROGRAM "../share/reveze"
#endif

namespace ReveZE {

namespace {

// Marks this module's code: its address tells which file holds it.
struct BundleFinder {
    static void marker() {}
};

QString moduleDirectory()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&BundleFinder::marker), &info) == 0 || !info.dli_fname)
        return {};
    const QFileInfo file(QFile::decodeName(info.dli_fname));
    if (!file.isAbsolute())
        return {};
    return file.absolutePath();
}

struct Loaded {
    std::optional<QString> bundle;
    std::optional<QImage> image;
};

const Loaded &loaded()
{
    static const Loaded value = [] {
        Loaded result;
        result.bundle = AppIcon::findBundle(AppIcon::candidateDirectories());
        if (result.bundle)
            result.image = AppIcon::loadImage(*result.bundle);
        return result;
    }();
    return value;
}

} // namespace

QString AppIcon::bundleName()
{
    return QStringLiteral("ReveZE_ReveZE.bundle");
}

QString AppIcon::iconFileName()
{
    return QStringLiteral("QuindleIcon.png");
}

const QImage *AppIcon::image()
{
    const Loaded &value = loaded();
    return value.image ? &*value.image : nullptr;
}

std::optional<QString> AppIcon::bundleDirectory()
{
    return loaded().bundle;
}

QStringList AppIcon::candidateDirectories()
{
    const QString program = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return candidateDirectories(program, moduleDirectory());
}

QStringList AppIcon::candidateDirectories(const QString &programDirectory, const QString &moduleDirectory)
{
    QStringList candidates;
    if (!programDirectory.isEmpty())
        candidates.append(QDir::cleanPath(programDirectory + QLatin1Char('/')
                                          + QLatin1String(REVEZE_RESOURCES_FROM_PROGRAM)));
    if (!moduleDirectory.isEmpty())
        candidates.append(QDir::cleanPath(moduleDirectory));
    if (!programDirectory.isEmpty())
        candidates.append(QDir::cleanPath(programDirectory));
    return candidates;
}

std::optional<QString> AppIcon::findBundle(const QStringList &candidates)
{
    for (const QString &directory : candidates) {
        const QString bundle = directory + QLatin1Char('/') + bundleName();
        if (QFileInfo(bundle).isDir())
            return bundle;
    }
    return std::nullopt;
}

std::optional<QImage> AppIcon::loadImage(const QString &bundleDirectory)
{
    QImageReader reader(bundleDirectory + QLatin1Char('/') + iconFileName(), "png");
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image;
}

} // namespace ReveZE
