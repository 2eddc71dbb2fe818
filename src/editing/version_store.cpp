// SPDX-License-Identifier: GPL-3.0-or-later
#include "version_store.h"

#include "documents/errors.h"
#include "documents/folder_lock.h"
#include "documents/game_file_reading.h"
#include "documents/game_paths.h"
#include "documents/interfaces.h"
#include "documents/replacement_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cstring>
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

// Each game folder's history folder records which folder it is, in a file beside the
// versions' folders, so a player can tell the folders apart.
constexpr const char* GameFolderRecord = "game-folder.txt";

QString Checksum(const std::string& bytes)
{
    return QString::fromLatin1(Sha256Hex(bytes).left(8));
}

// The bytes of a file of at most MaxGameFileBytes; throws FileError otherwise.
std::string FileContent(const QString& path)
{
    std::optional<std::string> bytes = ReadBytesFrom(path);
    if (!bytes)
        throw FileError(
            QStringLiteral("The file \"%1\" is too large to be a game file.").arg(path));
    return std::move(*bytes);
}

bool SameContent(const QString& path, const std::string& bytes)
{
    try {
        return FileContent(path) == bytes;
    } catch (const FileError&) {
        return false; // an unreadable version is no reason to keep none
    }
}

// The save that was to replace the file does not happen; with the error number when the
// system gave one, as a save that fails writing the file itself tells it.
[[noreturn]] void CannotKeep(const AppState& state, TuningFile file, const QString& reason,
                             int error = 0)
{
    const QString aborted = error != 0 ? QStringLiteral("Save aborted with error: %1.").arg(error)
                                       : QStringLiteral("Save aborted.");
    throw FileError(aborted + QStringLiteral(" The present %1 could not be kept in \"%2\": %3")
                                  .arg(HistoryName(file),
                                       QFileInfo(HistoryFolder(state, file)).absoluteFilePath(),
                                       reason));
}

void WriteVersion(const AppState& state, TuningFile file, const std::string& bytes,
                  long long serial)
{
    const QString folder = HistoryFolder(state, file);
    if (!QDir().mkpath(folder))
        CannotKeep(state, file, QStringLiteral("the folder cannot be made."));
    const QString record = QDir(folder).filePath(QStringLiteral("../") + GameFolderRecord);
    if (!QFileInfo(record).isFile()) {
        int error = 0;
        try {
            ReplacementFile named(record, LinkAtTarget::Replace);
            error = named.commit(QFile::encodeName(GameFolderKey(state)).toStdString() + "\r\n");
        } catch (const FileError& failure) {
            CannotKeep(state, file, failure.text());
        }
        if (error != 0)
            CannotKeep(state, file, QString::fromLocal8Bit(std::strerror(error)) + QLatin1Char('.'),
                       error);
    }
    const QString name =
        QStringLiteral("%1_%2_%3.txt")
            .arg(serial, 6, 10, QLatin1Char('0'))
            .arg(QDateTime::currentDateTime().toString(QLatin1String(TimeFormat)), Checksum(bytes));
    int error = 0;
    try {
        ReplacementFile version(QDir(folder).filePath(name));
        error = version.commit(bytes);
    } catch (const FileError& failure) {
        CannotKeep(state, file, failure.text());
    }
    if (error != 0)
        CannotKeep(state, file, QString::fromLocal8Bit(std::strerror(error)) + QLatin1Char('.'),
                   error);
}

void KeepReplacedGameFile(const AppState& state, TuningFile file, const QString& path)
{
    KeepVersion(state, file, path);
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
    return QDir(state.workFile(QStringLiteral("history")))
        .filePath(name + QLatin1Char('-') + QString::fromLatin1(hash.left(16)) + QLatin1Char('/') +
                  HistoryName(file));
}

void KeepVersion(const AppState& state, TuningFile file, const QString& path)
{
    if (!FileExists(path))
        return;
    std::string bytes;
    try {
        bytes = FileContent(path);
    } catch (const FileError& error) {
        CannotKeep(state, file, error.text());
    }
    // No other Tunedeck keeps a version of this folder's file meanwhile, and the temporary
    // files that a killed one left are removed by the write.
    std::optional<FolderLock> lock;
    try {
        if (QDir().mkpath(HistoryFolder(state, file)))
            lock.emplace(QDir(HistoryFolder(state, file)).filePath(QStringLiteral("version")),
                         LinkAtTarget::Replace);
    } catch (const FileError& error) {
        CannotKeep(state, file, error.text());
    }
    std::vector<KeptVersion> versions = KeptVersions(state, file);
    if (!versions.empty() && SameContent(versions.front().path, bytes))
        return;
    WriteVersion(state, file, bytes,
                 versions.empty() ? 1 : std::min(versions.front().serial + 1, MaxSerial));

    // The new version is on the disk: only now may the oldest go. One that cannot be
    // removed stays, and is tried again at the next save.
    for (size_t i = MaxKeptVersions - 1; i < versions.size(); ++i)
        QFile::remove(versions[i].path);
}

void KeepVersionsOnSave(AppState& state)
{
    state.BeforeReplacingGameFile = KeepReplacedGameFile;
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
