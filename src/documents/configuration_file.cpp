// SPDX-License-Identifier: GPL-3.0-or-later
#include "configuration_file.h"

#include "app_state.h"
#include "errors.h"
#include "game_paths.h"
#include "locked_write.h"

#include <QFile>

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

QString ReadConfigurationLine(const QString& path, bool* tooLong)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    // Enough for the longest line taken and its CR LF, and one byte to tell a longer one.
    QByteArray whole = file.read(MaxLineBytes + 3);
    const qsizetype end = whole.indexOf('\n');
    if (end >= 0)
        whole.truncate(end);
    if (whole.endsWith('\r'))
        whole.chop(1);
    if (tooLong)
        *tooLong = whole.size() > MaxLineBytes;
    // What is taken is the first 4096 bytes, read as a line of their own.
    QByteArray line = whole.left(MaxLineBytes);
    if (line.size() == MaxLineBytes && line.endsWith('\r'))
        line.chop(1);
    // A NUL byte is kept for the caller to refuse: decoding by the Windows code page would
    // end the text there and leave a folder path that the line does not hold.
    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0)
        return QFile::decodeName(line.left(nul)) + QChar(0) + QFile::decodeName(line.mid(nul + 1));
    return QFile::decodeName(line);
}

void WriteConfigurationFile(const QString& path, const QString& gameDir)
{
    WriteFileLocked(path, (QFile::encodeName(gameDir) + "\r\n").toStdString());
}
