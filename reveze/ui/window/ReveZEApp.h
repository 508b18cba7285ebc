#pragma once

// The application: the one AppModel and the one Localizer that live as long
// as the process, and the window that shows them. The model finds the zelk
// executable itself; the localizer takes the stored or detected language.
//
// Closing the window ends the application through the one quit policy of
// ProcessRegistry: streamed runs of zelk are asked to stop, queries get a
// short grace, and the event loop ends once every child is gone.
//
// With REVEZE_SCREENSHOT set to a file path, the window is grabbed into that
// PNG once the first refresh has ended, the path is printed, and the
// application quits (used to look at ReveZE where there is no display).

#include "AppModel.h"
#include "Localizer.h"

#include <QObject>

#include <memory>

namespace ReveZE {

class ContentView;

class ReveZEApp : public QObject
{
    Q_OBJECT

public:
    explicit ReveZEApp(QObject *parent = nullptr);
    ~ReveZEApp() override;

    AppModel &model() { return m_model; }
    Localizer &localizer() { return m_localizer; }
    ContentView &window() { return *m_window; }

    // Opens the window.
    void show();
    // Stops every zelk child (see above), then quits the event loop.
    void quit();

private:
    void takeScreenshot(const QString &path);

    AppModel m_model;
    Localizer m_localizer;
    std::unique_ptr<ContentView> m_window;
    bool m_quitting = false;
};

} // namespace ReveZE
