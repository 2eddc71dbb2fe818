#include "configuration_file.h"

#include "app_state.h"
#include "errors.h"
#include "game_paths.h"

#include <QFile>
#include <QSaveFile>

namespace {
constexpr qint64 MaxLineBytes = 4096;
}

QString ConfigurationFileInUse(const AppState& state)
{
    for (const char* name : {PerkwrightIni, TunedeckIni}) {
        const QString path = state.workFile(QLatin1String(name));
        if (FileExists(path))
            return path;
    }
    return {};
}

QString ReadConfigurationLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    QByteArray line = file.read(MaxLineBytes);
    const qsizetype end = line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    if (line.endsWith('\r'))
        line.chop(1);
    return QFile::decodeName(line);
}

void WriteConfigurationFile(const QString& path, const QString& gameDir)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    file.write(QFile::encodeName(gameDir) + "\r\n");
    if (!file.commit())
        throw FileError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
}
