#include "window/NavigationScreen.h"

#include <QShowEvent>

namespace ReveZE {

void NavigationScreen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        appeared();
}

void NavigationScreen::setLoaded(bool loaded)
{
    if (m_loaded == loaded)
        return;
    m_loaded = loaded;
    Q_EMIT loadedChanged();
}

} // namespace ReveZE
