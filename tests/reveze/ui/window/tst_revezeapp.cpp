// The program end to end: the built `reveze` against zelk-sim on a fresh
// demo tree, offscreen, with REVEZE_SCREENSHOT set. Its first refresh must
// complete, the window be saved, the path printed, and the program end on
// its own through the quit policy with status 0.

#include "GuiTestSupport.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestReveZEApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void screenshotAfterTheFirstRefreshThenQuit()
    {
#ifndef ZELK_SIM_PATH
        QSKIP("built without zelk-sim");
#else
        const QString program = QStringLiteral(BUILD_DIR "/bin/reveze");
        if (!QFileInfo(program).isExecutable())
            QSKIP("the reveze program is not built in this tree");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString screenshot = dir.filePath(QStringLiteral("window.png"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("REVEZE_ZELK"), QStringLiteral(ZELK_SIM_PATH));
        environment.insert(QStringLiteral("ZELK_SIM_STATE"), dir.filePath(QStringLiteral("state")));
        environment.insert(QStringLiteral("REVEZE_SCREENSHOT"), screenshot);
        // The program's settings go to a home of its own.
        environment.insert(QStringLiteral("HOME"), dir.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        QProcess reveze;
        reveze.setProcessEnvironment(environment);
        reveze.start(program, {});
        QVERIFY(reveze.waitForFinished(60000));
        QCOMPARE(reveze.exitStatus(), QProcess::NormalExit);
        QCOMPARE(reveze.exitCode(), 0);
        QCOMPARE(QString::fromLocal8Bit(reveze.readAllStandardOutput()).trimmed(), screenshot);
        const QImage image(screenshot);
        QCOMPARE(image.size(), QSize(1120, 720));
#endif
    }
};

REVEZE_GUI_TEST_MAIN(TestReveZEApp)

#include "tst_revezeapp.moc"
