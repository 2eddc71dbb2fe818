// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "replacement_file_io.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <vector>

class WriteScope;

// Why files could not be written: the system's error code, and the file it failed on.
struct FileFailure {
    int code = 0;
    QString path;
};

// A new content for a file, written beside it and put in its place only once every byte
// is on the disk, so that whatever fails, the previous file stays as it was:
//
//   ReplacementFile file(path);
//   int error = file.commit(bytes);      // 0, or the system's error code
//
// The new file keeps the old one's permissions and, where the process may set them, its
// owner and group (on Windows: its attributes). The temporary file beside the target never follows
// a link and never outlives the object unless it was put in place.
class ReplacementFile {
public:
    // A file without any write bit (on Windows: with the read-only attribute) is left as it
    // is: see readOnly(). A target that is a folder or no regular file, or whose folder
    // cannot be opened, is not replaced: see creationError(). Nothing is thrown. Made for a
    // scope (folder_lock.h), the temporary file is the scope's while it is written, and the
    // temporary files that killed writes left in a folder the scope holds locked are removed.
    explicit ReplacementFile(const QString& path, LinkAtTarget links = LinkAtTarget::Follow,
                             WriteScope* scope = nullptr);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Writes the bytes and syncs them to the disk, then puts the file in place of the
    // target and syncs the folder. Returns 0 once the file is in place, or the error number
    // of the first step that failed; on a failure before the rename the target is untouched
    // and the temporary file is gone. A folder sync that fails after the rename is no
    // failure of the commit: see folderSyncError().
    int commit(const std::string& bytes);

    // The two halves of commit(), for files that are replaced together (ReplaceTogether).
    // prepare() writes, syncs and closes the temporary file; install() renames it over the
    // target and syncs the folder. Each returns 0 or the error number; a failure discards
    // the temporary file.
    int prepare(const std::string& bytes);
    int install();

    // Whether the file to replace has no write bit: then nothing is written.
    bool readOnly() const { return readOnly_; }
    // 0, or the system's code of why no new file can be written beside the target.
    int creationError() const { return creationError_; }

    // Whether the new file is in place.
    bool installed() const { return installed_; }
    // The old content was put back over the installed file.
    void undone() { installed_ = false; }
    // Leaves the prepared file where it is for good: a record names it for the next run.
    void forget();

    // The file that is replaced (links followed as asked), and the temporary file that
    // prepare() wrote and install() renames; empty where the system names none.
    QString targetPath() const { return target_; }
    QString preparedPath() const;

    // 0, or why the folder could not be synced after the new file was put in place: the
    // new file is there, but a power cut may yet bring the old one back.
    int folderSyncError() const { return folderSyncError_; }

private:
    friend std::optional<FileFailure> ReplaceTogether(const std::vector<ReplacementFile*>&,
                                                      const std::vector<std::string>&);
    void discard();
    // The temporary file is the scope's, or no longer is.
    void adopt();
    void release();

    QString target_;
    WriteScope* scope_ = nullptr;
    bool installed_ = false;
    bool readOnly_ = false;
    int folderSyncError_ = 0;
    int creationError_ = 0; // why no temporary file could be made, reported by prepare()
#ifdef Q_OS_WIN
    void* file_ = nullptr;         // the temporary file's HANDLE while it is written
    QString temporaryPath_;        // beside the target
    unsigned long attributes_ = 0; // the old file's, given to the new one
    bool replacing_ = false;       // a file is there to be replaced (not a link that is replaced)
#else
    int folder_ = -1;
    QByteArray temporaryName_; // in folder_
    int fd_ = -1;
    QByteArray temporaryPath() const;
#endif
};

// Replaces the files together: every new file is written and synced beside its target
// first, and only when all of them are on the disk are they put in place, in order. So a
// full disk, a quota or a write error on any of them leaves every target as it was. Only a
// failing rename (or a crash) between two renames can leave the first files new and the
// others old; installed() tells which. Returns the first failure, with its target. The
// caller holds the FolderLock of each folder.
std::optional<FileFailure> ReplaceTogether(const std::vector<ReplacementFile*>& files,
                                           const std::vector<std::string>& contents);
