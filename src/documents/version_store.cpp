// SPDX-License-Identifier: GPL-3.0-or-later
#include "version_store.h"

#include "errors.h"
#include "folder_lock.h"
#include "game_file_reading.h"
#include "replacement_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace {

constexpr const char* TimeFormat = "yyyy-MM-dd_HH-mm-ss";

// <serial>_<yyyy-MM-dd>_<HH-mm-ss>_<checksum>.txt, the serial written with six digits at
// least and no other leading zero; anything else in the folder is not ours.
const QRegularExpression& VersionName()
{
    static const QRegularExpression name(
        QStringLiteral("^(\\d{6}|[1-9]\\d{6,8})_(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)_([0-9a-"
                       "f]{8})\\.txt$"));
    return name;
}

// Serials stay below a billion (nine digits at most). A name that claims the last one
// leaves the versions after it that serial too, ordered by their time: it can never hide
// them, and a larger number is no name of ours.
constexpr long long MaxSerial = 999999999;

// The game folder, by its real path when it exists, as the name of its history.
QString GameFolderKey(const AppState& state)
{
    const QFileInfo folder(state.GameDir);
    const QString real = folder.canonicalFilePath();
    return real.isEmpty() ? folder.absoluteFilePath() : real;
}

// The game folder's own name in its history folder's name, at most this many bytes.
constexpr qsizetype MaxReadableNameBytes = 200;

// FolderLock locks the folder of the file it is given: a name in the versions' folder.
constexpr const char* HistoryLockName = "version";

// Each game folder's history folder records which folder it is, in a file beside the
// versions' folders, so a player can tell the folders apart.
constexpr const char* GameFolderRecord = "game-folder.txt";

QString Checksum(const std::string& bytes)
{
    return QString::fromLatin1(Sha256Hex(bytes).left(8));
}

bool SameContent(const QString& path, const std::string& bytes)
{
    std::string kept;
    return ReadSmallFile(path, MaxGameFileBytes, kept) == SmallFileRead::Read && kept == bytes;
}

// Writes the bytes as the version `name` of the folder; the failure, if any.
std::optional<VersionFailure> WriteVersion(const AppState& state, const QString& folder,
                                           const QString& name, const std::string& bytes,
                                           WriteScope& scope)
{
    const QString record = QDir(folder).filePath(QStringLiteral("../") + GameFolderRecord);
    if (!QFileInfo(record).isFile()) {
        ReplacementFile named(record, LinkAtTarget::Replace, &scope);
        if (const int error =
                named.commit(QFile::encodeName(GameFolderKey(state)).toStdString() + "\r\n"))
            return VersionFailure{folder, SystemErrorText(error)};
    }
    ReplacementFile version(QDir(folder).filePath(name), LinkAtTarget::Replace, &scope);
    if (const int error = version.commit(bytes))
        return VersionFailure{folder, SystemErrorText(error)};
    return std::nullopt;
}

// Removes the oldest versions beyond MaxKeptVersions. One that cannot be removed stays,
// and is tried again at the next save.
void Prune(const std::vector<KeptVersion>& newestFirst)
{
    for (size_t i = MaxKeptVersions; i < newestFirst.size(); ++i)
        QFile::remove(newestFirst[i].path);
}

} // namespace

QString HistoryName(TuningFile file)
{
    return file == TuningFile::General ? QStringLiteral("General.txt")
                                       : QStringLiteral("Settings.txt");
}

QString ShownTime(const KeptVersion& version)
{
    return version.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString HistoryFolder(const AppState& state, TuningFile file)
{
    // The folder's own name for the reader, the checksum of its real path to tell folders
    // of one name apart.
    const QString key = GameFolderKey(state);
    const QByteArray hash = Sha256Hex(QFile::encodeName(key).toStdString());
    QString name = QFileInfo(key).fileName();
    if (name.isEmpty())
        name = QStringLiteral("root");
    // A file name holds at most 255 bytes: the readable part gives way, the checksum
    // keeps the name unique.
    while (QFile::encodeName(name).size() > MaxReadableNameBytes)
        name.chop(1);
    return QDir(state.workFile(QStringLiteral("history")))
        .filePath(name + QLatin1Char('-') + QString::fromLatin1(hash.left(16)) + QLatin1Char('/') +
                  HistoryName(file));
}

std::optional<VersionFailure> KeepVersion(const AppState& state, TuningFile file,
                                          const QString& path)
{
    const QString folder = HistoryFolder(state, file);
    std::string bytes;
    switch (ReadSmallFile(path, MaxGameFileBytes, bytes)) {
    case SmallFileRead::Read:
        break;
    case SmallFileRead::Missing:
        return std::nullopt;
    case SmallFileRead::NotRegular:
        // The real file of a linked game file: its own path holds it.
        if (ReplacedPath(path, LinkAtTarget::Follow) != path)
            return KeepVersion(state, file, ReplacedPath(path, LinkAtTarget::Follow));
        return std::nullopt; // no file of which to keep a version
    case SmallFileRead::TooLarge:
        return VersionFailure{folder, SystemErrorText(FileTooLargeError())};
    case SmallFileRead::Failed:
        return VersionFailure{folder, SystemErrorText(LastSystemError())};
    }
    if (!QDir().mkpath(folder))
        return VersionFailure{folder, SystemErrorText(LastSystemError())};
    // No other Tunedeck keeps a version of this folder's file meanwhile, and the temporary
    // files that a killed one left are removed by the write.
    WriteScope scope;
    if (const std::optional<LockFailure> failure =
            scope.lock(QDir(folder).filePath(HistoryLockName), LinkAtTarget::Replace))
        return VersionFailure{folder, failure->systemText, failure->heldElsewhere};
    std::vector<KeptVersion> versions = KeptVersions(state, file);
    if (versions.empty() || !SameContent(versions.front().path, bytes)) {
        const long long serial =
            versions.empty() ? 1 : std::min(versions.front().serial + 1, MaxSerial);
        const QString name =
            QStringLiteral("%1_%2_%3.txt")
                .arg(serial, 6, 10, QLatin1Char('0'))
                .arg(QDateTime::currentDateTime().toString(QLatin1String(TimeFormat)),
                     Checksum(bytes));
        if (std::optional<VersionFailure> failure = WriteVersion(state, folder, name, bytes, scope))
            return failure;
        versions = KeptVersions(state, file);
    }
    // Only once the new version is on the disk may the oldest go; also when none was
    // written, so that a save killed while removing them is made up for.
    Prune(versions);
    return std::nullopt;
}

std::vector<KeptVersion> KeptVersions(const AppState& state, TuningFile file)
{
    std::vector<KeptVersion> versions;
    const QDir folder(HistoryFolder(state, file));
    const QStringList names = folder.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = VersionName().match(name);
        if (!match.hasMatch())
            continue;
        KeptVersion version;
        version.file = file;
        version.path = folder.filePath(name);
        version.serial = match.captured(1).toLongLong();
        version.time = QDateTime::fromString(match.captured(2), QLatin1String(TimeFormat));
        version.checksum = match.captured(3);
        if (version.serial < 1 || !version.time.isValid())
            continue;
        version.written = QFileInfo(version.path).lastModified();
        versions.push_back(version);
    }
    std::sort(versions.begin(), versions.end(), [](const KeptVersion& a, const KeptVersion& b) {
        if (a.serial != b.serial)
            return a.serial > b.serial;
        return a.time != b.time ? a.time > b.time : a.written > b.written;
    });
    return versions;
}
