#include "application.h"

#include <QApplication>

const char* const ApplicationTitle = "Tunedeck";

void SetUpApplication()
{
    QApplication::setApplicationName(QLatin1String(ApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(TUNEDECK_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tunedeck.Tunedeck"));
    // No display name: with one set, X window managers are given every title with
    // " — <display name>" after it, and the titles must read exactly as set.
}
