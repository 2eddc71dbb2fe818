// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "errors.h"

#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

// What a symbolic link in the place of the file to replace stands for.
enum class LinkAtTarget {
    Follow,  // the real file it leads to is replaced, and the link stays
    Replace, // the link itself is replaced by the new file; what it leads to is never touched
};

// What becomes of the temporary files that earlier writes left beside the target (killed,
// or cut off by a power cut): removed while this process holds the folder's FolderLock, or
// kept, where a record of a cut-off save still names them.
enum class LeftTemporaries { Remove, Keep };

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
    // cannot be opened, is not replaced: see creationError(). Nothing is thrown.
    explicit ReplacementFile(const QString& path, LinkAtTarget links = LinkAtTarget::Follow,
                             LeftTemporaries left = LeftTemporaries::Remove);
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
    friend int ReplaceTogether(const std::vector<ReplacementFile*>&,
                               const std::vector<std::string>&, QString&);
    void discard();

    QString target_;
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

// Whether `file` is a temporary file that a ReplacementFile of `target` writes beside it
// (or that a killed one left there).
bool IsTemporaryFileOf(const QString& file, const QString& target);

// The file that a ReplacementFile of `path` replaces: with links followed, the real file a
// link leads to (when it exists); else the name in the real folder.
QString ReplacedPath(const QString& path, LinkAtTarget links);

// Whether the file is one its owner made read-only (no write permission bit at all; on
// Windows the read-only attribute): such a file is never replaced, whoever runs Tunedeck.
bool IsReadOnlyFile(const QString& path);

// Puts the existing file `prepared` (a temporary file of `target`, beside it) in the place
// of `target` by a rename, as install() does, and syncs the folder. Whatever fails, a file
// is at `target`: the old one or the new one. Returns 0 or the system's error code.
int MoveIntoPlace(const QString& prepared, const QString& target);

// Syncs the folder, so that the renames and removals in it outlive a power cut; 0 or the
// system's error code (a file system that cannot sync a folder is no failure).
int SyncFolder(const QString& folder);

// How a read of a small file of Tunedeck's own went.
enum class SmallFileRead {
    Read,
    Missing,    // no file of that name
    NotRegular, // a link, a folder, a FIFO, a device: not opened, never followed
    TooLarge,   // larger than the limit: not read
    Failed,     // the system failed the read
};

// Reads a regular file of at most `maxBytes` without following a link in its place and
// without waiting on a FIFO or device; the bytes are set only when it was Read.
SmallFileRead ReadSmallFile(const QString& path, qint64 maxBytes, std::string& bytes);

// Replaces the files together: every new file is written and synced beside its target
// first, and only when all of them are on the disk are they put in place, in order. So a
// full disk, a quota or a write error on any of them leaves every target as it was. Only a
// failing rename (or a crash) between two renames can leave the first files new and the
// others old; installed() tells which. Returns 0, or the error number of the first
// failure, with its target in `failedPath`. The caller holds the FolderLock of each folder.
int ReplaceTogether(const std::vector<ReplacementFile*>& files,
                    const std::vector<std::string>& contents, QString& failedPath);
