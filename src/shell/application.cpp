// SPDX-License-Identifier: GPL-3.0-or-later
#include "application.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryFile>

const char* const ApplicationTitle = "Tunedeck";

void SetUpApplication()
{
    QApplication::setApplicationName(QLatin1String(ApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(TUNEDECK_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tunedeck.Tunedeck"));
    // No display name: with one set, X window managers are given every title with
    // " — <display name>" after it, and the titles must read exactly as set.
}

void EnterWorkingFolder()
{
#ifdef Q_OS_WIN
    const QDir program(QCoreApplication::applicationDirPath());
    // The installer puts its uninstaller beside the program; a folder it installed into
    // may be the player's to write (a per-user installation), but it is removed whole.
    QTemporaryFile probe(program.filePath(QStringLiteral("tunedeck-probe-XXXXXX")));
    if (!program.exists(QStringLiteral("uninstall.exe")) && probe.open()) {
        QDir::setCurrent(program.path());
        return;
    }
    const QString local = qEnvironmentVariable("LOCALAPPDATA");
    if (local.isEmpty())
        return; // no profile folder: the folder it was started in stays
    const QString work = QDir(local).filePath(QStringLiteral("Tunedeck"));
    if (QDir().mkpath(work))
        QDir::setCurrent(work);
#endif
}
