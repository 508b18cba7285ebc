#include "window/ReveZEApp.h"

#include "discover/CatalogFoldCache.h"
#include "widgets/TextStyles.h"
#include "window/ContentView.h"

#include <ProcessRegistry.h>

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace ReveZE {

namespace {
// How long a query of zelk may take to finish on its own at quit.
constexpr std::chrono::milliseconds quitGrace{2000};
} // namespace

ReveZEApp::ReveZEApp(QObject *parent)
    : QObject(parent), m_window(std::make_unique<ContentView>(m_model, m_localizer))
{
    // The event loop ends through quit(), after zelk's children, not when
    // the window closes.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    connect(m_window.get(), &ContentView::closed, this, &ReveZEApp::quit);

    // Discover searches a fold of the index, which takes a large index
    // seconds to make; it is made off the GUI thread as soon as the index is
    // read, in the font of Discover's descriptions, so that the screen finds
    // it ready and a search never waits for the records to be compared.
    CatalogFoldCache::of(m_model).request(TextStyles::font(TextStyle::Caption));

    const QString screenshot = qEnvironmentVariable("REVEZE_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        connect(m_window.get(), &ContentView::firstRefreshFinished, this, [this, screenshot] {
            // Let the layouts and the first paint settle before grabbing.
            QTimer::singleShot(0, this, [this, screenshot] { takeScreenshot(screenshot); });
        });
    }
}

ReveZEApp::~ReveZEApp() = default;

void ReveZEApp::show()
{
    m_window->show();
}

void ReveZEApp::quit()
{
    if (m_quitting)
        return;
    m_quitting = true;
    m_window->hide();
    ZelkKit::ProcessRegistry::instance().shutdown(quitGrace, [] { QCoreApplication::quit(); });
}

void ReveZEApp::takeScreenshot(const QString &path)
{
    const QPixmap image = m_window->grab();
    if (image.save(path, "PNG")) {
        std::printf("%s\n", qPrintable(path));
        std::fflush(stdout);
    } else {
        std::fprintf(stderr, "reveze: could not write the screenshot %s\n", qPrintable(path));
    }
    m_window->close();
}

} // namespace ReveZE
