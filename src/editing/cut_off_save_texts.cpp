// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut_off_save_texts.h"

#include "documents/interfaces.h"
#include "documents/reference_copies.h"

#include <QDir>
#include <QStringList>

QString FileNames(const std::vector<TuningFile>& files)
{
    QStringList names;
    for (TuningFile file : files)
        names << QLatin1String(GameFileName(file));
    return names.join(QStringLiteral(" and "));
}

namespace {

// Where what a finished or undone save replaced is kept.
QString KeptText(const CutOffSave& save)
{
    QString text;
    for (const auto& [file, folder] : save.replaced)
        text += QStringLiteral(" What %1 held is kept in %2.")
                    .arg(QLatin1String(GameFileName(file)), QDir::toNativeSeparators(folder));
    return text;
}

// Why a step failed: the system's words, or that another Tunedeck holds the folder.
QString Reason(const QString& systemText, const QString& busyFolder)
{
    if (busyFolder.isEmpty())
        return systemText;
    return QStringLiteral("another Tunedeck is writing in \"%1\".")
        .arg(QDir::toNativeSeparators(busyFolder));
}

QString CutOffSaveText(const CutOffSave& save)
{
    using Outcome = CutOffSave::Outcome;
    const QString names = FileNames(save.files);
    const QString both = save.files.size() > 1 ? QStringLiteral("both files hold")
                                               : QStringLiteral("the file holds");
    const QString left = QStringLiteral(" Its record %1 was left as it is.")
                             .arg(QDir::toNativeSeparators(save.record));
    switch (save.outcome) {
    case Outcome::Finished:
        return QStringLiteral("A save of %1 that was cut off earlier has been finished: %2 what "
                              "it wrote.")
                   .arg(names, both) +
               KeptText(save);
    case Outcome::Undone:
        return QStringLiteral("A save of %1 that was cut off earlier has been undone: %2 what it "
                              "held before it.")
                   .arg(names, both) +
               KeptText(save);
    case Outcome::Unreadable:
        return QStringLiteral("A record of a cut-off save was found but could not be read: it "
                              "is no plain file, or too large.") +
               left;
    case Outcome::NotOurs:
        return QStringLiteral("A record of a cut-off save was found, but it is no record of a "
                              "save of this game folder's two game files with their temporary "
                              "files.") +
               left;
    case Outcome::ReadOnly:
        return QStringLiteral("A save of %1 that was cut off was neither finished nor undone: "
                              "%1 is read-only.")
                   .arg(names) +
               left;
    case Outcome::NeitherWay:
        return QStringLiteral("A save of %1 that was cut off can be neither finished nor undone.")
                   .arg(names) +
               left;
    case Outcome::Failed:
        return QStringLiteral("A save of %1 that was cut off could not be finished or undone: %2")
                   .arg(names.isEmpty() ? QStringLiteral("the game files") : names,
                        Reason(save.systemText, save.busyFolder)) +
               left;
    case Outcome::ChangedSince:
        if (!save.systemText.isEmpty() || !save.busyFolder.isEmpty())
            return QStringLiteral("%1 was changed by another program after a save of it was cut "
                                  "off, and could not be kept in the history: %2")
                       .arg(names, Reason(save.systemText, save.busyFolder)) +
                   left;
        return QStringLiteral("%1 was changed by another program after a save of it was cut off. "
                              "Tunedeck left it as it is and kept it in the history; the record "
                              "of the save was set aside as %2.")
            .arg(names, QDir::toNativeSeparators(save.record));
    }
    return {};
}

} // namespace

void TellCutOffSaves(Messages& messages, const std::vector<CutOffSave>& saves)
{
    for (const CutOffSave& save : saves)
        messages.warning(CutOffSaveText(save));
}
