#include "desktop_launcher.h"

#include <QDir>
#include <QProcess>

void DesktopLauncher::open(const QString& file, const QString& workingDir)
{
    const QString path = QDir(workingDir).absoluteFilePath(file);
#ifdef Q_OS_WIN
    QProcess::startDetached(path, {}, workingDir);
#else
    QProcess::startDetached(QStringLiteral("xdg-open"), {path}, workingDir);
#endif
}
