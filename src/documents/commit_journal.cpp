// SPDX-License-Identifier: GPL-3.0-or-later
#include "commit_journal.h"

#include "errors.h"
#include "folder_lock.h"
#include "game_file_reading.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <memory>
#include <optional>

namespace {

constexpr const char* JournalHeader = "Tunedeck commit 1";
constexpr const char* Nothing = "-";
// A journal names two or three files; anything larger is not one of ours.
constexpr qint64 MaxJournalBytes = 64 * 1024;

// Paths are written percent-encoded, so that no byte of a folder name can break a line.
QByteArray Encoded(const QString& path)
{
    return path.isEmpty() ? QByteArray(Nothing) : QFile::encodeName(path).toPercentEncoding();
}

QString Decoded(const QByteArray& field)
{
    return field == Nothing ? QString() : QFile::decodeName(QByteArray::fromPercentEncoding(field));
}

// The checksum of the regular file at `path`; empty when there is none or it cannot be read.
QByteArray ChecksumOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink())
        return {};
    try {
        const std::optional<std::string> bytes = ReadBytesFrom(path);
        return bytes ? Sha256Hex(*bytes) : QByteArray();
    } catch (const FileError&) {
        return {};
    }
}

// Puts the prepared file in the place of the target. A crash between the two steps leaves
// the prepared file and the journal, and the next run completes it.
bool Install(const QString& prepared, const QString& target)
{
    if (QFileInfo(target).exists() || QFileInfo(target).isSymLink())
        if (!QFile::remove(target))
            return false;
    return QFile::rename(prepared, target);
}

struct JournalEntry {
    QString target;
    QString prepared; // the new content
    QByteArray newChecksum;
    QString previous; // what the target held; empty when there was no target
    QByteArray oldChecksum;
};

// The entries of the journal, or nothing for a file that is no journal of this folder.
std::optional<std::vector<JournalEntry>> ReadJournal(const QString& path, const QString& folder)
{
    QFile file(path);
    if (file.size() > MaxJournalBytes || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> lines = file.readAll().split('\n');
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
        const bool below = QFileInfo(entry.target).absoluteFilePath().startsWith(folder + '/');
        if (!below || !IsTemporaryFileOf(entry.prepared, entry.target) ||
            (!entry.previous.isEmpty() && !IsTemporaryFileOf(entry.previous, entry.target)))
            return std::nullopt;
        entries.push_back(entry);
    }
    if (entries.size() < 2)
        return std::nullopt;
    return entries;
}

QString FileNames(const std::vector<JournalEntry>& entries)
{
    QStringList names;
    for (const JournalEntry& entry : entries)
        names << QFileInfo(entry.target).fileName();
    return names.join(QStringLiteral(" and "));
}

} // namespace

int ReplaceTogetherJournaled(const std::vector<ReplacementFile*>& files,
                             const std::vector<std::string>& contents)
{
    if (files.size() < 2)
        return ReplaceTogether(files, contents);
    for (size_t i = 0; i < files.size(); ++i)
        if (const int error = files[i]->prepare(contents[i]))
            return error;
    // Where the system names no prepared file there is nothing to record: put in place, in
    // order, as ReplaceTogether does.
    for (ReplacementFile* file : files)
        if (file->preparedPath().isEmpty()) {
            for (ReplacementFile* each : files)
                if (const int error = each->install())
                    return error;
            return 0;
        }

    // What each target holds now, written beside it too, so that a commit cut off halfway
    // can be undone as well as finished.
    std::vector<std::unique_ptr<ReplacementFile>> previous;
    QByteArray journal = QByteArray(JournalHeader) + '\n';
    for (size_t i = 0; i < files.size(); ++i) {
        const QString target = files[i]->targetPath();
        std::optional<std::string> old;
        if (QFileInfo(target).isFile())
            old = ReadBytesFrom(target);
        previous.emplace_back(old ? new ReplacementFile(target, LinkAtTarget::Replace) : nullptr);
        if (old)
            if (const int error = previous.back()->prepare(*old))
                return error;
        journal += Encoded(target) + '\t' + Encoded(files[i]->preparedPath()) + '\t' +
                   Sha256Hex(contents[i]) + '\t' +
                   Encoded(old ? previous.back()->preparedPath() : QString()) + '\t' +
                   (old ? Sha256Hex(*old) : QByteArray(Nothing)) + '\n';
    }
    const QString journalPath =
        QDir(QFileInfo(files.front()->targetPath()).absolutePath()).filePath(CommitJournalName);
    {
        ReplacementFile record(journalPath, LinkAtTarget::Replace);
        if (const int error = record.commit(journal.toStdString()))
            return error;
    }

    for (size_t i = 0; i < files.size(); ++i) {
        const int error = files[i]->install();
        if (error == 0)
            continue;
        // Those already in place get their old content back, or go when there was none.
        bool undone = true;
        for (size_t j = 0; j < i; ++j)
            undone = (previous[j] ? previous[j]->install() == 0
                                  : QFile::remove(files[j]->targetPath())) &&
                     undone;
        if (undone)
            QFile::remove(journalPath);
        return error;
    }
    QFile::remove(journalPath);
    return 0;
}

QString RecoverInterruptedCommit(const QString& folderPath)
{
    // Targets are recorded by their real paths.
    const QString folder = QFileInfo(folderPath).canonicalFilePath();
    if (folder.isEmpty())
        return {};
    const QString journalPath = QDir(folder).filePath(CommitJournalName);
    if (!QFileInfo(journalPath).exists() && !QFileInfo(journalPath).isSymLink())
        return {};
    // Looked at again under the lock: another Tunedeck may be in the middle of its commit.
    std::vector<FolderLock> locks;
    locks.emplace_back(journalPath, LinkAtTarget::Replace);
    const QFileInfo journalInfo(journalPath);
    if (!journalInfo.exists() && !journalInfo.isSymLink())
        return {};
    const QString kept = QStringLiteral(" Its record %1 was left as it is.").arg(journalPath);
    // A link is never followed: it could lead anywhere.
    const std::optional<std::vector<JournalEntry>> read =
        journalInfo.isSymLink() ? std::nullopt : ReadJournal(journalPath, folder);
    if (!read)
        return QStringLiteral("A record of a cut-off save was found but could not be read.") + kept;
    const std::vector<JournalEntry>& entries = *read;
    for (const JournalEntry& entry : entries)
        locks.emplace_back(entry.target, LinkAtTarget::Replace);

    const QString names = FileNames(entries);
    bool finishable = true;
    std::vector<bool> done;
    for (const JournalEntry& entry : entries) {
        done.push_back(ChecksumOf(entry.target) == entry.newChecksum);
        finishable = finishable && (done.back() || ChecksumOf(entry.prepared) == entry.newChecksum);
    }
    QString said;
    if (finishable) {
        for (size_t i = 0; i < entries.size(); ++i)
            if (!done[i] && !Install(entries[i].prepared, entries[i].target))
                return QStringLiteral("A save of %1 that was cut off could not be finished.")
                           .arg(names) +
                       kept;
        said = QStringLiteral("A save of %1 that was cut off has been finished: both files hold "
                              "what it wrote.")
                   .arg(names);
    } else {
        for (const JournalEntry& entry : entries) {
            const QByteArray now = ChecksumOf(entry.target);
            if (now == entry.oldChecksum)
                continue;
            const bool undone = entry.previous.isEmpty()
                                    ? QFile::remove(entry.target)
                                    : ChecksumOf(entry.previous) == entry.oldChecksum &&
                                          Install(entry.previous, entry.target);
            if (!undone)
                return QStringLiteral("A save of %1 that was cut off can be neither finished nor "
                                      "undone.")
                           .arg(names) +
                       kept;
        }
        said = QStringLiteral("A save of %1 that was cut off has been undone: both files hold "
                              "what they held before it.")
                   .arg(names);
    }
    for (const JournalEntry& entry : entries) {
        QFile::remove(entry.prepared);
        if (!entry.previous.isEmpty())
            QFile::remove(entry.previous);
    }
    QFile::remove(journalPath);
    return said;
}
