// SPDX-License-Identifier: GPL-3.0-or-later
#include "commit_journal.h"

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

int ReplaceTogetherJournaled(const std::vector<ReplacementFile*>& files,
                             const std::vector<std::string>& contents, const QString& journalFolder,
                             QString& failedPath)
{
    if (files.size() < 2)
        return ReplaceTogether(files, contents, failedPath);
    for (size_t i = 0; i < files.size(); ++i)
        if (const int error = files[i]->prepare(contents[i])) {
            failedPath = files[i]->targetPath();
            return error;
        }
    // Where the system names no prepared file there is nothing to record: put in place, in
    // order, as ReplaceTogether does.
    for (ReplacementFile* file : files)
        if (file->preparedPath().isEmpty()) {
            for (ReplacementFile* each : files)
                if (const int error = each->install()) {
                    failedPath = each->targetPath();
                    return error;
                }
            return 0;
        }

    // What each target holds now, written beside it too, so that a commit cut off halfway
    // can be undone as well as finished.
    std::vector<std::unique_ptr<ReplacementFile>> previous;
    QByteArray journal = QByteArray(JournalHeader) + '\n';
    for (size_t i = 0; i < files.size(); ++i) {
        const QString target = files[i]->targetPath();
        std::string old;
        const bool hadFile = ReadSmallFile(target, MaxGameFileBytes, old) == SmallFileRead::Read;
        previous.emplace_back(hadFile ? new ReplacementFile(target, LinkAtTarget::Replace)
                                      : nullptr);
        if (hadFile)
            if (const int error = previous.back()->prepare(old)) {
                failedPath = target;
                return error;
            }
        journal += Encoded(target) + '\t' + Encoded(files[i]->preparedPath()) + '\t' +
                   Sha256Hex(contents[i]) + '\t' +
                   Encoded(hadFile ? previous.back()->preparedPath() : QString()) + '\t' +
                   (hadFile ? Sha256Hex(old) : QByteArray(Nothing)) + '\n';
    }
    const QString journalPath = QDir(journalFolder).filePath(CommitJournalName);
    {
        ReplacementFile record(journalPath, LinkAtTarget::Replace);
        if (const int error = record.commit(journal.toStdString())) {
            failedPath = journalPath;
            return error;
        }
    }

    for (size_t i = 0; i < files.size(); ++i) {
        const int error = files[i]->install();
        if (error == 0)
            continue;
        failedPath = files[i]->targetPath();
        // Those already in place get their old content back. Where that fails too, the
        // record and the old copies stay: the next run puts them back.
        bool undone = true;
        for (size_t j = 0; j < i && undone; ++j)
            undone = previous[j] &&
                     MoveIntoPlace(previous[j]->preparedPath(), files[j]->targetPath()) == 0;
        if (undone) {
            for (size_t j = 0; j < i; ++j) {
                previous[j]->forget();
                files[j]->undone();
            }
            QFile::remove(journalPath);
            SyncFolder(journalFolder);
        } else {
            for (const auto& copy : previous)
                if (copy)
                    copy->forget();
        }
        return error;
    }
    QFile::remove(journalPath);
    SyncFolder(journalFolder);
    return 0;
}
