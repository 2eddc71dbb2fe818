// SPDX-License-Identifier: GPL-3.0-or-later
#include "outcome_texts.h"

#include "documents/folder_lock.h"
#include "documents/game_paths.h"
#include "documents/interfaces.h"
#include "documents/reference_copies.h"

#include "documents/errors.h"
#include "not_a_file_text.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

QString MissingFileText()
{
    return QStringLiteral("Save your \"Gorewheel 2\" directory first.");
}

QString GameFilesNotLoadedText()
{
    return QStringLiteral("Save your \"Gorewheel II\" directory first.");
}

QString InvalidDirectoryText(const QString& dir)
{
    return QStringLiteral("Invalid Directory: ") + dir;
}

QString VersionNotAGameFileText(const QString& fileName, const QString& time, int lineCount)
{
    return QStringLiteral("The version of %1 kept at %2 is not a %1 of %3 lines; it was not put "
                          "back.")
        .arg(fileName, time)
        .arg(lineCount);
}

QString InvalidFileText(TuningFile file)
{
    return file == TuningFile::General
               ? QStringLiteral("Invalid file, please use an original General.txt")
               : QStringLiteral("Invalid file, please use an original Settings.txt");
}

QString InvalidReloadText(TuningFile file)
{
    return file == TuningFile::General
               ? QStringLiteral("Invalid file, please use an original General.TXT")
               : QStringLiteral("Invalid file, please use an original \\peds\\Settings.txt");
}

QString TooLargeCopyText(const QString& path)
{
    return QStringLiteral("%1 is too large to be a copy of a game file; it was not read.")
        .arg(QFileInfo(path).fileName());
}

QString InvalidAlterationsText(TuningFile file)
{
    return file == TuningFile::General
               ? QStringLiteral("Invalid alterations to General.txt. Please restore an original.")
               : QStringLiteral("Invalid alterations to settings.txt. Please restore an original.");
}

QString LoadedFirstText(TuningFile file)
{
    return file == TuningFile::General ? QStringLiteral("General.txt must be loaded first.")
                                       : QStringLiteral("Settings.txt must be loaded first.");
}

QString SaveAbortedText(const QString& path, const QString& systemText)
{
    return QStringLiteral("Save aborted with error: %1 (%2)")
        .arg(systemText, QFileInfo(path).fileName());
}

QString ChangedOnDiskQuestion(const QString& path, const QString& replacement)
{
    return QStringLiteral("%1 was changed by another program since Tunedeck read it. Replace "
                          "it with %2?")
        .arg(QFileInfo(path).fileName(), replacement);
}

void TellLoad(Messages& messages, const GameFileRead& read, TuningFile file, const QString& path,
              LoadWording wording)
{
    switch (read.outcome) {
    case ReadOutcome::Loaded:
        return;
    case ReadOutcome::Missing:
        messages.error(MissingFileText());
        break;
    case ReadOutcome::ReadError:
        if (wording == LoadWording::Reload)
            messages.error(MissingFileText());
        else
            messages.report(read.failureText);
        return; // a file that could not be read says so, whatever its line count
    case ReadOutcome::TooLarge:
        if (wording == LoadWording::Copy)
            messages.error(TooLargeCopyText(path));
        break;
    case ReadOutcome::WrongLineCount:
        break;
    }
    if (wording == LoadWording::Load)
        messages.plain(InvalidFileText(file));
    else if (wording == LoadWording::Reload && read.outcome != ReadOutcome::Missing)
        messages.plain(InvalidReloadText(file));
}

void TellWritten(Messages& messages, const WriteResult& result)
{
    const WriteResult::Failure& failure = result.failure;
    if (result.outcome == WriteResult::Outcome::Refused) {
        messages.error(QStringLiteral("%1 is read-only; it was left as it is.")
                           .arg(QFileInfo(failure.path).fileName()));
        return;
    }
    for (const InstalledFile& file : result.installed) {
        if (ExtensionOf(file.path) == QLatin1String(".bak"))
            messages.information(QStringLiteral("File copied: ") + file.path);
        else
            messages.information(QStringLiteral("File updated: ") + file.path);
        if (file.folderSyncError)
            messages.warning(
                QStringLiteral("The new %1 is in place, but its folder could not "
                               "be synced (%2): a power cut may yet bring back the "
                               "old file.")
                    .arg(QFileInfo(file.path).fileName(), SystemErrorText(file.folderSyncError)));
    }
    if (result.outcome != WriteResult::Outcome::Failed)
        return;
    switch (failure.step) {
    case WriteResult::Step::Locking:
        messages.report(
            CannotLockText({failure.folder, failure.heldElsewhere, failure.systemText}));
        break;
    case WriteResult::Step::Creating:
        if (const std::optional<QString> text = NotARegularFileText(failure.path);
            text && ExtensionOf(failure.path) != QLatin1String(".bak")) {
            messages.report(*text);
            break;
        }
        messages.report(QStringLiteral("Cannot create file \"%1\". %2")
                            .arg(QDir::toNativeSeparators(failure.path), failure.systemText));
        break;
    case WriteResult::Step::KeepingVersion:
        messages.error(
            QStringLiteral("Save aborted. The present %1 could not be kept in \"%2\": %3")
                .arg(QFileInfo(failure.folder).fileName(),
                     QDir::toNativeSeparators(QFileInfo(failure.folder).absoluteFilePath()),
                     failure.heldElsewhere ? QStringLiteral("another Tunedeck is writing there.")
                                           : failure.systemText));
        break;
    case WriteResult::Step::Writing:
        messages.error(SaveAbortedText(failure.path, failure.systemText));
        break;
    }
}

void TellTakenCopies(Messages& messages, const TakenCopies& copies)
{
    for (const auto& [file, text] : copies.failed)
        messages.error(QStringLiteral("Tunedeck could not keep a copy of your %1.\n%2")
                           .arg(QLatin1String(GameFileName(file)), text));
    if (copies.taken.empty())
        return;

    const bool one = copies.taken.size() == 1;
    QString text = QStringLiteral("Tunedeck now keeps a copy of your %1 as %2 now. "
                                  "Restore puts %3 back.")
                       .arg(FileNames(copies.taken),
                            one ? QStringLiteral("it is") : QStringLiteral("they are"),
                            one ? QStringLiteral("it") : QStringLiteral("these"));
    if (!copies.replacedDemo.empty())
        text += one ? QStringLiteral("\nIt takes the place of the demo game's copy.")
                : copies.replacedDemo.size() == copies.taken.size()
                    ? QStringLiteral("\nThey take the place of the demo game's copies.")
                    : QStringLiteral("\nThe copy of %1 takes the place of the demo game's copy.")
                          .arg(FileNames(copies.replacedDemo));
    for (TuningFile file : copies.rejected)
        text += QStringLiteral("\nYour %1 does not have %2 lines, so Tunedeck keeps no copy of it.")
                    .arg(QLatin1String(GameFileName(file)))
                    .arg(LineCountOf(file));
    messages.information(text);
}
