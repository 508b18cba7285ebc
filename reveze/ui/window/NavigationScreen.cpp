#include "window/NavigationScreen.h"

#include <QShowEvent>

namespace ReveZE {

void NavigationScreen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        appeared();
}

} // namespace ReveZE
