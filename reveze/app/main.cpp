// ReveZE, a desktop front end for the zelk package manager.

#include "window/ReveZEApp.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ReveZE"));
    QCoreApplication::setOrganizationName(QStringLiteral("ReveZE"));
    QCoreApplication::setApplicationVersion(QStringLiteral(REVEZE_VERSION));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("ReveZE"));
    QGuiApplication::setDesktopFileName(QStringLiteral("reveze"));

    ReveZE::ReveZEApp reveze;
    reveze.show();
    return app.exec();
}
