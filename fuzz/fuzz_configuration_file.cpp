// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration-file reader, on a file holding any bytes.
//
// The directory read is the file's first line (a CR before its LF dropped), of at most
// 4096 bytes however long the line or the file, with no LF in it.

#include "documents/configuration_file.h"
#include "require.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>

namespace {

constexpr qsizetype MaxLineBytes = 4096;

QString Expected(const QByteArray& bytes)
{
    QByteArray line = bytes.left(MaxLineBytes);
    const qsizetype feed = line.indexOf('\n');
    if (feed >= 0)
        line.truncate(feed);
    if (line.endsWith('\r'))
        line.chop(1);
    return QFile::decodeName(line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    // A folder in memory where there is one: a file is written for every input.
    static QTemporaryDir folder(QFileInfo(QStringLiteral("/dev/shm")).isDir()
                                    ? QStringLiteral("/dev/shm/tunedeck-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/tunedeck-fuzz-XXXXXX"));
    static const QString path = folder.filePath(QStringLiteral("Tunedeck.ini"));
    if (size < 1)
        return 0;

    // An odd first byte repeats the rest past 8 KiB, so that files longer than the part
    // read are made from short inputs as well.
    const qsizetype pieceSize = static_cast<qsizetype>(size - 1);
    const qsizetype copies = data[0] % 2 == 0 ? 1 : 8192 / std::max<qsizetype>(pieceSize, 1) + 1;
    const QByteArray piece(reinterpret_cast<const char*>(data) + 1, pieceSize);
    const QByteArray bytes = piece.repeated(copies);
    {
        QFile file(path);
        REQUIRE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        REQUIRE(file.write(bytes) == bytes.size());
    }

    const QString line = ReadConfigurationLine(path);
    REQUIRE(!line.contains(QLatin1Char('\n')));
    // Each byte read gives at most one UTF-16 unit.
    REQUIRE(line.size() <= MaxLineBytes);
    REQUIRE(line == Expected(bytes));
    return 0;
}
