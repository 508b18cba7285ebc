#include "install/CommandKeyShortcuts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QList>

namespace ReveZE {

namespace {

// The one application event filter behind every live handler. It is on the
// application while at least one handler is installed and hands each key
// press to the most recently installed handler of the key's window.
class KeyDispatcher : public QObject
{
public:
    static KeyDispatcher &instance()
    {
        static KeyDispatcher *dispatcher = new KeyDispatcher;
        return *dispatcher;
    }

    void add(CommandKeyShortcuts *handler)
    {
        m_handlers.removeAll(handler);
        m_handlers.append(handler);
        if (!m_onApplication && qApp) {
            qApp->installEventFilter(this);
            m_onApplication = true;
        }
    }

    void remove(CommandKeyShortcuts *handler)
    {
        m_handlers.removeAll(handler);
        if (m_handlers.isEmpty() && m_onApplication && qApp) {
            qApp->removeEventFilter(this);
            m_onApplication = false;
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
            return false;
        // A key press reaches the window (a QWindow) first and is then
        // forwarded to the focused widget as a new event: deciding on the
        // widget's copy alone acts once per press.
        if (!watched->isWidgetType())
            return false;
        QWidget *target = static_cast<QWidget *>(watched)->window();
        // The latest handler of the target's window decides; a copy of the
        // list, since an action may install or remove handlers.
        const QList<CommandKeyShortcuts *> handlers = m_handlers;
        for (auto it = handlers.crbegin(); it != handlers.crend(); ++it) {
            QWidget *view = (*it)->view();
            if (view && view->window() == target)
                return (*it)->handleKey(static_cast<QKeyEvent *>(event));
        }
        return false;
    }

private:
    QList<CommandKeyShortcuts *> m_handlers;
    bool m_onApplication = false;
};

} // namespace

CommandKeyShortcuts::Decision CommandKeyShortcuts::decide(int key, Qt::KeyboardModifiers modifiers)
{
    const bool command = modifiers.testFlag(Qt::ControlModifier);
    switch (key) {
    case Qt::Key_Escape:
        return {Action::Cancel, true};
    case Qt::Key_Return:
        return {Action::Confirm, true};
    case Qt::Key_Enter:
        return command ? Decision{Action::Confirm, true} : Decision{};
    case Qt::Key_Period:
        return command ? Decision{Action::Cancel, true} : Decision{};
    default:
        return {};
    }
}

CommandKeyShortcuts::CommandKeyShortcuts(QWidget *view, std::function<void()> onConfirm,
                                         std::function<void()> onCancel)
    : QObject(view), m_view(view), m_onConfirm(std::move(onConfirm)), m_onCancel(std::move(onCancel))
{
    view->installEventFilter(this);
    if (view->isVisible())
        install();
}

CommandKeyShortcuts::~CommandKeyShortcuts()
{
    remove();
}

void CommandKeyShortcuts::install()
{
    if (m_installed)
        return;
    m_installed = true;
    KeyDispatcher::instance().add(this);
}

void CommandKeyShortcuts::remove()
{
    if (!m_installed)
        return;
    m_installed = false;
    KeyDispatcher::instance().remove(this);
}

bool CommandKeyShortcuts::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view) {
        if (event->type() == QEvent::Show)
            install();
        else if (event->type() == QEvent::Hide)
            remove();
    }
    return false;
}

bool CommandKeyShortcuts::handleKey(QKeyEvent *event)
{
    const Decision decision = decide(event->key(), event->modifiers());
    if (!decision.consumed)
        return false;
    event->accept();
    // The override only claims the key, the press acts; a repeat is not a
    // press the user made.
    if (event->type() != QEvent::KeyPress || event->isAutoRepeat())
        return true;
    const std::function<void()> &action = decision.action == Action::Confirm ? m_onConfirm : m_onCancel;
    if (action) {
        // The action may close the view and delete this handler.
        const std::function<void()> call = action;
        call();
    }
    return true;
}

} // namespace ReveZE
