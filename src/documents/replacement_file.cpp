// SPDX-License-Identifier: GPL-3.0-or-later
// The part of the write path that is the same on every system; the system calls are in
// replacement_file_posix.cpp and replacement_file_win32.cpp, one of which is built.

#include "replacement_file.h"

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

std::set<QString>& OwnTemporaries()
{
    static std::set<QString> names;
    return names;
}

int ReplacementFile::commit(const std::string& bytes)
{
    const int error = prepare(bytes);
    return error != 0 ? error : install();
}

int ReplaceTogether(const std::vector<ReplacementFile*>& files,
                    const std::vector<std::string>& contents, QString& failedPath)
{
    int error = 0;
    for (size_t i = 0; i < files.size() && error == 0; ++i)
        if ((error = files[i]->prepare(contents[i])) != 0)
            failedPath = files[i]->targetPath();
    for (size_t i = 0; i < files.size() && error == 0; ++i)
        if ((error = files[i]->install()) != 0)
            failedPath = files[i]->targetPath();
    if (error != 0)
        for (ReplacementFile* file : files)
            file->discard();
    return error;
}
