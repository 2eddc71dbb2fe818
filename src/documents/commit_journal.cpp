// SPDX-License-Identifier: GPL-3.0-or-later
#include "commit_journal.h"

#include "folder_lock.h"
#include "game_file_reading.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace {

constexpr const char* JournalHeader = "Tunedeck commit 1";
constexpr const char* Nothing = "-";

// Paths are written percent-encoded, so that no byte of a folder name can break a line.
QByteArray Encoded(const QString& path)
{
    return path.isEmpty() ? QByteArray(Nothing) : QFile::encodeName(path).toPercentEncoding();
}

QString Decoded(const QByteArray& field)
{
    return field == Nothing ? QString() : QFile::decodeName(QByteArray::fromPercentEncoding(field));
}

bool IsChecksum(const QByteArray& field)
{
    if (field.size() != 64)
        return false;
    for (const char c : field)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace

std::optional<std::vector<JournalEntry>> ParseJournal(const std::string& bytes)
{
    const QList<QByteArray> lines = QByteArray::fromStdString(bytes).split('\n');
    if (lines.isEmpty() || lines.front() != JournalHeader)
        return std::nullopt;
    std::vector<JournalEntry> entries;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> fields = lines[i].split('\t');
        if (fields.size() != 5)
            return std::nullopt;
        JournalEntry entry{Decoded(fields[0]), Decoded(fields[1]), fields[2], Decoded(fields[3]),
                           fields[4] == Nothing ? QByteArray() : fields[4]};
        // Every entry has its new content; the old one is missing only where no file was.
        const bool hasOld = !entry.previous.isEmpty();
        if (entry.target.isEmpty() || !IsTemporaryFileOf(entry.prepared, entry.target) ||
            !IsChecksum(entry.newChecksum) || hasOld != !entry.oldChecksum.isEmpty() ||
            (hasOld &&
             (!IsTemporaryFileOf(entry.previous, entry.target) || !IsChecksum(entry.oldChecksum))))
            return std::nullopt;
        entries.push_back(entry);
    }
    if (entries.empty())
        return std::nullopt;
    return entries;
}

namespace {

// Writes and syncs every new file beside its target.
std::optional<FileFailure> PrepareAll(const std::vector<ReplacementFile*>& files,
                                      const std::vector<std::string>& contents)
{
    for (size_t i = 0; i < files.size(); ++i)
        if (const int error = files[i]->prepare(contents[i]))
            return FileFailure{error, files[i]->targetPath()};
    return std::nullopt;
}

// Puts the prepared files in place, in order.
std::optional<FileFailure> InstallAll(const std::vector<ReplacementFile*>& files)
{
    for (ReplacementFile* file : files)
        if (const int error = file->install())
            return FileFailure{error, file->targetPath()};
    return std::nullopt;
}

// What a record holds: its bytes, and a copy of what each target holds now (none where no
// file is), written beside it too, so that a commit cut off halfway can be undone as well
// as finished.
struct Record {
    QByteArray bytes = QByteArray(JournalHeader) + '\n';
    std::vector<std::unique_ptr<ReplacementFile>> previous;
};

std::optional<FileFailure> KeepPrevious(const std::vector<ReplacementFile*>& files,
                                        const std::vector<std::string>& contents, WriteScope& scope,
                                        Record& record)
{
    for (size_t i = 0; i < files.size(); ++i) {
        const QString target = files[i]->targetPath();
        std::string old;
        const bool hadFile = ReadSmallFile(target, MaxGameFileBytes, old) == SmallFileRead::Read;
        record.previous.emplace_back(
            hadFile ? new ReplacementFile(target, LinkAtTarget::Replace, &scope) : nullptr);
        if (hadFile)
            if (const int error = record.previous.back()->prepare(old))
                return FileFailure{error, target};
        record.bytes += Encoded(target) + '\t' + Encoded(files[i]->preparedPath()) + '\t' +
                        Sha256Hex(contents[i]) + '\t' +
                        Encoded(hadFile ? record.previous.back()->preparedPath() : QString()) +
                        '\t' + (hadFile ? Sha256Hex(old) : QByteArray(Nothing)) + '\n';
    }
    return std::nullopt;
}

void RemoveRecord(const QString& journalPath, const QString& journalFolder)
{
    QFile::remove(journalPath);
    SyncFolder(journalFolder);
}

// Puts each file in place. When one fails, those already in place get their old content
// back; where that fails too, the record and the old copies stay: the next run puts them
// back.
std::optional<FileFailure> InstallRecorded(const std::vector<ReplacementFile*>& files,
                                           Record& record, const QString& journalPath,
                                           const QString& journalFolder)
{
    for (size_t i = 0; i < files.size(); ++i) {
        const int error = files[i]->install();
        if (error == 0)
            continue;
        const std::vector<std::unique_ptr<ReplacementFile>>& previous = record.previous;
        bool undone = true;
        for (size_t j = 0; j < i && undone; ++j)
            undone = previous[j] &&
                     MoveIntoPlace(previous[j]->preparedPath(), files[j]->targetPath()) == 0;
        if (undone) {
            for (size_t j = 0; j < i; ++j) {
                previous[j]->forget();
                files[j]->undone();
            }
            RemoveRecord(journalPath, journalFolder);
        } else {
            for (const auto& copy : previous)
                if (copy)
                    copy->forget();
        }
        return FileFailure{error, files[i]->targetPath()};
    }
    RemoveRecord(journalPath, journalFolder);
    return std::nullopt;
}

} // namespace

std::optional<FileFailure> ReplaceTogetherJournaled(const std::vector<ReplacementFile*>& files,
                                                    const std::vector<std::string>& contents,
                                                    const QString& journalFolder, WriteScope& scope)
{
    if (files.size() < 2)
        return ReplaceTogether(files, contents);
    if (std::optional<FileFailure> failure = PrepareAll(files, contents))
        return failure;
    // Where the system names no prepared file there is nothing to record: put in place, in
    // order, as ReplaceTogether does.
    for (ReplacementFile* file : files)
        if (file->preparedPath().isEmpty())
            return InstallAll(files);

    Record record;
    if (std::optional<FileFailure> failure = KeepPrevious(files, contents, scope, record))
        return failure;
    const QString journalPath = QDir(journalFolder).filePath(CommitJournalName);
    {
        ReplacementFile written(journalPath, LinkAtTarget::Replace, &scope);
        if (const int error = written.commit(record.bytes.toStdString()))
            return FileFailure{error, journalPath};
    }
    return InstallRecorded(files, record, journalPath, journalFolder);
}
