#pragma once

#include <QWidget>

namespace ReveZE {

// A screen shown in one of the window's columns. It names itself with a
// navigation title (a section screen its section, the package detail its
// package), which the window shows in its title bar.
class NavigationScreen : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    virtual QString navigationTitle() const = 0;

Q_SIGNALS:
    void navigationTitleChanged();
};

} // namespace ReveZE
