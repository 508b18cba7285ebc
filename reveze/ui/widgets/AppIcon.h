#pragma once

// The application icon, "QuindleIcon.png" in ReveZE's resource bundle, the
// folder "ReveZE_ReveZE.bundle". The bundle is looked for, once, in these
// directories in order, skipping any that cannot be determined:
//
//   1. the resources directory: <program directory>/../share/reveze (the
//      installed layout; the build tree mirrors it, with the program in
//      <build>/bin and the bundle in <build>/share/reveze);
//   2. the directory of the file that holds this code (the program itself
//      when ReveZE is linked statically, else the shared library);
//   3. the program's own directory.
//
// A missing bundle or icon is not fatal: a decorative image must never end
// the program, so AppIconView draws a symbol instead. Tests check that the
// real icon is found from the build tree and from an installed tree.

#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>

namespace ReveZE {

class AppIcon
{
public:
    // The icon, loaded on first use and kept for the life of the process;
    // null when the bundle or the file is missing or unreadable.
    static const QImage *image();
    // Where the bundle was found (first use of image() looks).
    static std::optional<QString> bundleDirectory();

    static QString bundleName();   // "ReveZE_ReveZE.bundle"
    static QString iconFileName(); // "QuindleIcon.png"

    // The candidate directories for this process, in order.
    static QStringList candidateDirectories();
    // The candidates for a program in `programDirectory` whose code lives in
    // `moduleDirectory`; an empty argument is skipped.
    static QStringList candidateDirectories(const QString &programDirectory, const QString &moduleDirectory);
    // The first candidate holding a bundle folder, as the bundle's path.
    static std::optional<QString> findBundle(const QStringList &candidates);
    // The icon of a bundle, if the file is there and reads as an image.
    static std::optional<QImage> loadImage(const QString &bundleDirectory);
};

} // namespace ReveZE
