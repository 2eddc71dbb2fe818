#include "desktop_launcher.h"

#include <QDir>
#include <QProcess>
#include <QUrl>

void DesktopLauncher::open(const QString& file, const QString& workingDir)
{
    const QString path = QDir(workingDir).absoluteFilePath(file);
#ifdef Q_OS_WIN
    QProcess::startDetached(QStringLiteral("cmd"), {QStringLiteral("/c"), QStringLiteral("start"),
                                                    QString(), path},
                            workingDir);
#else
    QProcess::startDetached(QStringLiteral("xdg-open"), {path}, workingDir);
#endif
}
