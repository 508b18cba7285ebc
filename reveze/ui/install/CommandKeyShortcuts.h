#pragma once

// The confirm and cancel keys of a view (the install sheet, the confirmation
// dialog over it), live exactly while the view is on screen.
//
// While its view is visible the handler sees every key press of the
// application before the focused control does (an event filter on the
// application) and decides by key and modifiers alone, Command being Ctrl
// here:
//
//   Escape, with any modifiers          cancel    consumed
//   Ctrl+.                              cancel    consumed
//   Return, with or without Ctrl        confirm   consumed
//   Ctrl+keypad Enter                   confirm   consumed
//   keypad Enter or "." without Ctrl    nothing   passed on (a period is typed)
//   any other key                       nothing   passed on
//
// A consumed key never reaches the focused control, also when the action
// decides to do nothing: Return in a text field confirms instead of breaking
// the line. Its ShortcutOverride is consumed too, so no shortcut of the
// window takes the key first. An auto-repeat of a consumed key is consumed
// and acts on nothing: a held Escape cancels once and does not, on its next
// repeat, close what the first press left open.
//
// Only key presses aimed at the view's own window count, so an alert or a
// popup above it keeps its keys. When several handlers are live for one
// window, the one installed last takes the keys and the others do not see
// them: the confirmation dialog's keys win over the sheet's beneath it.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QKeyEvent;

namespace ReveZE {

class CommandKeyShortcuts : public QObject
{
    Q_OBJECT

public:
    enum class Action { None, Confirm, Cancel };

    // What a key press means: the action, and whether the key is consumed.
    struct Decision {
        Action action = Action::None;
        bool consumed = false;
        friend bool operator==(const Decision &, const Decision &) = default;
    };
    static Decision decide(int key, Qt::KeyboardModifiers modifiers);

    // Becomes a child of `view` and installs itself whenever the view is shown.
    CommandKeyShortcuts(QWidget *view, std::function<void()> onConfirm, std::function<void()> onCancel);
    ~CommandKeyShortcuts() override;

    QWidget *view() const { return m_view; }
    // Whether the handler is installed (its view is on screen).
    bool isInstalled() const { return m_installed; }

    // Used by the application-wide dispatcher: handles a key event aimed at
    // the view's window; returns whether it was consumed.
    bool handleKey(QKeyEvent *event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void install();
    void remove();

    QPointer<QWidget> m_view;
    std::function<void()> m_onConfirm;
    std::function<void()> m_onCancel;
    bool m_installed = false;
};

} // namespace ReveZE
