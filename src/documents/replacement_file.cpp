// SPDX-License-Identifier: GPL-3.0-or-later
// The part of the write path that is the same on every system; the system calls are in
// replacement_file_posix.cpp and replacement_file_io_posix.cpp, or in their _win32 twins:
// one pair is built.

#include "replacement_file.h"

#include "folder_lock.h"
#include "replacement_file_parts.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <cstring>

namespace {

constexpr char TemporaryLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr int TemporaryLetterCount = 8;
const QString TemporaryMarker = QStringLiteral(".tunedeck-");

} // namespace

QString TemporaryName(const QString& targetName)
{
    QString name = QLatin1Char('.') + targetName + TemporaryMarker;
    for (int i = 0; i < TemporaryLetterCount; ++i)
        name += QLatin1Char(TemporaryLetters[QRandomGenerator::global()->bounded(36)]);
    return name;
}

bool IsTemporaryFileOf(const QString& file, const QString& target)
{
    const QFileInfo info(file);
    const QFileInfo of(target);
    return info.absolutePath() == of.absolutePath() && IsTemporaryName(info.fileName()) &&
           info.fileName().startsWith(QLatin1Char('.') + of.fileName() + TemporaryMarker);
}

bool IsTemporaryName(const QString& name)
{
    const qsizetype at = name.lastIndexOf(TemporaryMarker);
    if (!name.startsWith(QLatin1Char('.')) || at <= 1 ||
        name.size() - at - TemporaryMarker.size() != TemporaryLetterCount)
        return false;
    for (qsizetype i = at + TemporaryMarker.size(); i < name.size(); ++i)
        if (name[i].unicode() == 0 || name[i].unicode() > 127 ||
            !std::strchr(TemporaryLetters, name[i].toLatin1()))
            return false;
    return true;
}

int ReplacementFile::commit(const std::string& bytes)
{
    const int error = prepare(bytes);
    return error != 0 ? error : install();
}

void ReplacementFile::adopt()
{
    if (scope_)
        scope_->adopt(preparedPath());
}

void ReplacementFile::release()
{
    if (scope_)
        scope_->release(preparedPath());
}

std::optional<FileFailure> ReplaceTogether(const std::vector<ReplacementFile*>& files,
                                           const std::vector<std::string>& contents)
{
    std::optional<FileFailure> failure;
    for (size_t i = 0; i < files.size() && !failure; ++i)
        if (const int error = files[i]->prepare(contents[i]))
            failure = FileFailure{error, files[i]->targetPath()};
    for (size_t i = 0; i < files.size() && !failure; ++i)
        if (const int error = files[i]->install())
            failure = FileFailure{error, files[i]->targetPath()};
    if (failure)
        for (ReplacementFile* file : files)
            file->discard();
    return failure;
}
