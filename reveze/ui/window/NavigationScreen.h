#pragma once

#include <ZelkOperation.h>

#include <QWidget>

#include <optional>

class QShowEvent;

namespace ReveZE {

// A screen shown in one of the window's columns, and what it may ask of the
// window around it:
// - a navigation title (a section screen its section, the package detail its
//   package), which the window shows in its title bar;
// - the window's selected package, for the lists that share it: the window
//   pushes every change in with setSelectedPackage(), the screen reports the
//   user's choice with selectionEdited();
// - a widget of its own in the window's toolbar while it is shown
//   (toolbarWidget(); the window takes it away with the screen);
// - the install sheet, opened by the window from (package name, operation,
//   upgrade-all) through installRequested().
//
// isLoaded() says whether what the screen loads when it appears has arrived
// (or failed); a screen that loads nothing is loaded from the start. Tools
// that picture the window wait for it (loadedChanged) rather than a pause.
//
// appeared() runs once per showing that the program made (the window placed
// the screen, or showed it again); the window system's own show events, such
// as un-minimising the window, do not count, so a screen's first load does not
// run again then.
class NavigationScreen : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    virtual QString navigationTitle() const = 0;

    virtual void setSelectedPackage(const std::optional<QString> &name) { Q_UNUSED(name); }
    // Owned by the screen; the window parents it into its toolbar while the
    // screen is shown and hands it back before the screen goes.
    virtual QWidget *toolbarWidget() const { return nullptr; }

    bool isLoaded() const { return m_loaded; }

Q_SIGNALS:
    void navigationTitleChanged();
    void loadedChanged();
    void selectionEdited(const std::optional<QString> &name);
    void installRequested(const QString &packageName, ZelkKit::ZelkOperation operation, bool upgradeAll);

protected:
    virtual void appeared() {}
    void setLoaded(bool loaded);

    void showEvent(QShowEvent *event) override;

private:
    bool m_loaded = true;
};

} // namespace ReveZE
