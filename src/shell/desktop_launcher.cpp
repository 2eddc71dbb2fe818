#include "desktop_launcher.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

bool DesktopLauncher::open(const QString& file, const QString& workingDir, QString& failure)
{
    const QString path = QDir(workingDir).absoluteFilePath(file);
    QProcess process;
    process.setWorkingDirectory(workingDir);
#ifdef Q_OS_WIN
    process.setProgram(path);
#else
    // The desktop's opener decides what runs a Windows program (Wine, as a rule).
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        failure = QStringLiteral("xdg-open was not found; it comes with the package xdg-utils.");
        return false;
    }
    process.setProgram(opener);
    process.setArguments({path});
#endif
    if (process.startDetached())
        return true;
    failure = process.errorString();
    return false;
}
