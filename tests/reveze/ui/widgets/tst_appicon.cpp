// The application icon: the resource bundle is found from the build tree
// and from an installed tree, and a missing bundle or icon falls back to a
// symbol rather than ending the program.

#include "widgets/AppIcon.h"
#include "widgets/AppIconView.h"
#include "widgets/Palette.h"

#include "GuiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace ReveZE;

namespace {

// How many pixels of the image are close to `colour`.
int pixelsNear(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 200 && qAbs(pixel.red() - colour.red()) < 40
                && qAbs(pixel.green() - colour.green()) < 40 && qAbs(pixel.blue() - colour.blue()) < 40)
                ++count;
        }
    }
    return count;
}

QImage render(const QImage *icon, int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    AppIconView::paint(painter, QRectF(0, 0, side, side), icon, QColor(Qt::blue));
    return image;
}

} // namespace

class TestAppIcon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void realIconFromTheBuildTree()
    {
        // This test sits in <build>/tests like the program in <build>/bin:
        // both find <build>/share/reveze.
        const std::optional<QString> bundle = AppIcon::bundleDirectory();
        QVERIFY(bundle.has_value());
        QCOMPARE(QDir(*bundle).dirName(), QStringLiteral("ReveZE_ReveZE.bundle"));
        QVERIFY(AppIcon::image());
        QCOMPARE(AppIcon::image()->size(), QSize(256, 256));

        // And the same from the program's own directory in the build tree.
        const QString program = QStringLiteral(BUILD_DIR "/bin");
        const std::optional<QString> fromProgram = AppIcon::findBundle(AppIcon::candidateDirectories(program, program));
        QVERIFY(fromProgram.has_value());
        QVERIFY(AppIcon::loadImage(*fromProgram).has_value());
    }

    void realIconFromAnInstalledTree()
    {
        const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
        if (cmake.isEmpty())
            QSKIP("cmake is not on the search path");
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(cmake, {QStringLiteral("--install"), QStringLiteral(BUILD_DIR), QStringLiteral("--prefix"),
                              prefix.path(), QStringLiteral("--component"), QStringLiteral("resources")});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
                 install.readAll().constData());

        // The program would be in <prefix>/bin; nothing of the build tree helps.
        const QString bin = prefix.filePath(QStringLiteral("bin"));
        const std::optional<QString> bundle = AppIcon::findBundle(AppIcon::candidateDirectories(bin, bin));
        QVERIFY(bundle.has_value());
        QVERIFY2(bundle->startsWith(prefix.path()), qPrintable(*bundle));
        const std::optional<QImage> image = AppIcon::loadImage(*bundle);
        QVERIFY(image.has_value());
        QCOMPARE(image->size(), QSize(256, 256));

        // The desktop entry and the themed icon, where desktops look.
        QVERIFY(QFile::exists(prefix.filePath(QStringLiteral("share/applications/org.quindle.ReveZE.desktop"))));
        const QImage themed(prefix.filePath(QStringLiteral("share/icons/hicolor/256x256/apps/reveze.png")));
        QCOMPARE(themed.size(), QSize(256, 256));

        // Both files pass the desktop's own validators, and the metainfo
        // names this version as its release.
        const QString desktop = prefix.filePath(QStringLiteral("share/applications/org.quindle.ReveZE.desktop"));
        const QString metainfo = prefix.filePath(QStringLiteral("share/metainfo/org.quindle.ReveZE.metainfo.xml"));
        QVERIFY(validates(QStringLiteral("desktop-file-validate"), {desktop}));
        QVERIFY(validates(QStringLiteral("appstreamcli"), {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo}));
        QFile xml(metainfo);
        QVERIFY(xml.open(QIODevice::ReadOnly));
        const QByteArray text = xml.readAll();
        QVERIFY(text.contains("<release version=\"" REVEZE_VERSION "\""));
        QVERIFY(text.contains("<launchable type=\"desktop-id\">org.quindle.ReveZE.desktop</launchable>"));
    }

    // Runs a validator; it must exit 0 and report no error (hints and
    // pedantic notes are not errors).
    static bool validates(const QString &tool, const QStringList &arguments)
    {
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty()) {
            qWarning("%s is not installed (scripts/install-deps installs it)", qPrintable(tool));
            return false;
        }
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(program, arguments);
        if (!run.waitForFinished(60000))
            return false;
        const QString output = QString::fromUtf8(run.readAll());
        const bool clean = run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0
            && !output.contains(QStringLiteral("error:")) && !output.contains(QStringLiteral("\nE: "))
            && !output.startsWith(QStringLiteral("E: "));
        if (!clean)
            qWarning("%s: %s", qPrintable(tool), qPrintable(output));
        return clean;
    }

    void candidatesInTheirOrder()
    {
        const QStringList candidates =
            AppIcon::candidateDirectories(QStringLiteral("/x/bin"), QStringLiteral("/x/lib"));
        QCOMPARE(candidates, (QStringList{QStringLiteral("/x/share/reveze"), QStringLiteral("/x/lib"),
                                          QStringLiteral("/x/bin")}));
        // A directory that cannot be determined is skipped.
        QCOMPARE(AppIcon::candidateDirectories(QStringLiteral("/x/bin"), QString()),
                 (QStringList{QStringLiteral("/x/share/reveze"), QStringLiteral("/x/bin")}));
    }

    void firstCandidateHoldingTheBundleWins()
    {
        QTemporaryDir root;
        const QString first = root.filePath(QStringLiteral("first"));
        const QString second = root.filePath(QStringLiteral("second"));
        QVERIFY(QDir().mkpath(second + QStringLiteral("/ReveZE_ReveZE.bundle")));
        QVERIFY(QDir().mkpath(first));
        QCOMPARE(AppIcon::findBundle({first, second}), std::optional(second + QStringLiteral("/ReveZE_ReveZE.bundle")));
        QVERIFY(QDir().mkpath(first + QStringLiteral("/ReveZE_ReveZE.bundle")));
        QCOMPARE(AppIcon::findBundle({first, second}), std::optional(first + QStringLiteral("/ReveZE_ReveZE.bundle")));
    }

    void missingOrBrokenIconIsNotAnError_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("bundle");
        QTest::addRow("no bundle at all") << QByteArray() << false;
        QTest::addRow("a bundle without the icon") << QByteArray() << true;
        QTest::addRow("an icon that is not an image") << QByteArrayLiteral("not a png") << true;
    }

    void missingOrBrokenIconIsNotAnError()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, bundle);
        QTemporaryDir root;
        const QString directory = root.filePath(QStringLiteral("ReveZE_ReveZE.bundle"));
        if (bundle)
            QVERIFY(QDir().mkpath(directory));
        if (!content.isEmpty()) {
            QFile file(directory + QStringLiteral("/QuindleIcon.png"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const std::optional<QString> found = AppIcon::findBundle({root.path()});
        QCOMPARE(found.has_value(), bundle);
        if (found)
            QVERIFY(!AppIcon::loadImage(*found).has_value());
    }

    void fallbackSymbolInTheAccentColour()
    {
        // Without an image: the symbol, in the accent colour, within the
        // middle 0.8 of the square.
        const QImage fallback = render(nullptr, 80);
        QVERIFY(pixelsNear(fallback, Qt::blue) > 200);
        for (int i = 0; i < 80; ++i) {
            QCOMPARE(fallback.pixelColor(i, 0).alpha(), 0);
            QCOMPARE(fallback.pixelColor(0, i).alpha(), 0);
        }
    }

    void imageClippedToRoundedCorners()
    {
        QImage solid(64, 64, QImage::Format_ARGB32_Premultiplied);
        solid.fill(Qt::red);
        const QImage drawn = render(&solid, 40);
        // A radius of 0.22 × 40 = 8.8: the corner pixel is clear, the middle
        // of an edge and the centre are the image.
        QCOMPARE(drawn.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(drawn.pixelColor(1, 1).alpha(), 0);
        QCOMPARE(drawn.pixelColor(20, 0).red(), 255);
        QCOMPARE(drawn.pixelColor(20, 20).red(), 255);
        QCOMPARE(pixelsNear(drawn, Qt::blue), 0);
        AppIconView view(40);
        QCOMPARE(view.cornerRadius(), 8.8);
        QCOMPARE(view.size(), QSize(40, 40));
    }
};

REVEZE_GUI_TEST_MAIN(TestAppIcon)

#include "tst_appicon.moc"
