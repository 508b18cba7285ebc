#pragma once

// The real application for widget tests (header only): ReveZEApp, its model
// finding zelk-sim (REVEZE_ZELK) on a fresh copy of the demo tree, with
// zelk-sim's ticks set to nothing. Needs the test's QStandardPaths test mode
// (the application keeps its language in the settings).

#include "AppModel.h"
#include "Localizer.h"
#include "window/ContentView.h"
#include "window/NavigationScreen.h"
#include "window/ReveZEApp.h"

#include <ProcessRegistry.h>

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace GuiTestSupport {

struct SimApp {
    static constexpr int runTimeout = 30000;

    QTemporaryDir dir;
    std::unique_ptr<ReveZE::ReveZEApp> app;

    explicit SimApp(ReveZE::AppLanguage language = ReveZE::AppLanguage::English)
    {
        qputenv("REVEZE_ZELK", ZELK_SIM_PATH);
        qputenv("ZELK_SIM_STATE", QFile::encodeName(dir.filePath(QStringLiteral("state"))));
        qputenv("ZELK_SIM_DEMO", ZELK_SIM_DEMO_DIR);
        qputenv("ZELK_SIM_DELAY_MS", "0");
        app = std::make_unique<ReveZE::ReveZEApp>();
        app->localizer().setLanguage(language);
    }

    ~SimApp()
    {
        // Every run and refresh ends before the window and the model go.
        for (int i = 0;
             i < 3000 && (app->model().isLoading() || ZelkKit::ProcessRegistry::instance().liveCount() > 0); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        app.reset();
    }

    ReveZE::ContentView &window() const { return app->window(); }
    ReveZE::AppModel &model() const { return app->model(); }

    // Opens the window and waits for its first refresh.
    bool show()
    {
        QSignalSpy firstRefresh(&window(), &ReveZE::ContentView::firstRefreshFinished);
        app->show();
        return QTest::qWaitForWindowActive(&window()) && (firstRefresh.count() > 0 || firstRefresh.wait(runTimeout));
    }

    // The shown screens are on screen (a screen made for a new section or
    // package shows on the next turn of the event loop) and have loaded.
    bool settled() const
    {
        const auto ready = [](const QWidget *widget) {
            const auto *screen = qobject_cast<const ReveZE::NavigationScreen *>(widget);
            return !widget || (widget->isVisible() && (!screen || screen->isLoaded()));
        };
        return ready(window().contentScreen()) && ready(window().detailWidget());
    }
};

} // namespace GuiTestSupport
