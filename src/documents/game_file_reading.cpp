// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_file_reading.h"

#include "errors.h"
#include "game_paths.h"
#include "text_buffer.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <algorithm>

FileStamp StampOfBytes(const std::string& bytes, const QDateTime& modified)
{
    return {static_cast<qint64>(bytes.size()),
            modified.toMSecsSinceEpoch(),
            QCryptographicHash::hash(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())),
                                     QCryptographicHash::Sha256),
            {},
            !bytes.empty() && bytes.back() == '\n'};
}

QByteArray Sha256Hex(const std::string& bytes)
{
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex();
}

std::optional<std::string> ReadBytesFrom(const QString& path, QDateTime* modified)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()),
            file.errorString());
    if (!file.isSequential() && file.size() > MaxGameFileBytes)
        return std::nullopt;
    // Read in pieces, stopping once past the limit, so a device that never
    // ends (or a file that grows) is recognised as too large without being read whole.
    std::string bytes;
    std::vector<char> chunk(64 * 1024);
    while (static_cast<long long>(bytes.size()) <= MaxGameFileBytes) {
        const qint64 got = file.read(chunk.data(), static_cast<qint64>(chunk.size()));
        if (got < 0)
            throw FileError(
                QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()),
                file.errorString());
        if (got == 0)
            break;
        bytes.append(chunk.data(), static_cast<size_t>(got));
    }
    if (static_cast<long long>(bytes.size()) > MaxGameFileBytes)
        return std::nullopt;
    if (modified)
        *modified = file.fileTime(QFileDevice::FileModificationTime);
    return bytes;
}

bool ReadLinesFrom(const QString& path, int limit, std::vector<std::string>& lines,
                   FileStamp* stamp)
{
    QDateTime modified;
    const std::optional<std::string> bytes = ReadBytesFrom(path, &modified);
    if (!bytes)
        return false;
    lines = SplitLines(*bytes, limit);
    if (stamp) {
        *stamp = StampOfBytes(*bytes, modified);
        stamp->lines = lines;
    }
    return true;
}

std::vector<std::string> SplitGameFile(TuningFile file, const std::string& bytes)
{
    return SplitLines(bytes, LineCountOf(file) + 1);
}

GameFileRead ReadGameFile(TuningFile file, const QString& path, LineCheck check)
{
    GameFileRead read;
    // Only a regular file: opening a pipe would wait for a writer.
    if (!FileExists(path))
        return read;
    try {
        QDateTime modified;
        const std::optional<std::string> bytes = ReadBytesFrom(path, &modified);
        if (!bytes) {
            read.outcome = ReadOutcome::TooLarge;
            return read;
        }
        read.lines = SplitLines(*bytes, check == LineCheck::Exact ? LineCountOf(file) + 1 : -1);
        read.lineCount = static_cast<int>(std::count(bytes->begin(), bytes->end(), '\n'));
        if (!bytes->empty() && bytes->back() != '\n')
            ++read.lineCount; // a last line without its line break
        read.stamp = StampOfBytes(*bytes, modified);
        read.stamp.lines = read.lines;
    } catch (const FileError& error) {
        read.outcome = ReadOutcome::ReadError;
        read.systemText = error.systemWords();
        read.failureText = error.text();
        read.lines.clear();
        return read;
    }
    read.outcome =
        check == LineCheck::None || static_cast<int>(read.lines.size()) == LineCountOf(file)
            ? ReadOutcome::Loaded
            : ReadOutcome::WrongLineCount;
    return read;
}
