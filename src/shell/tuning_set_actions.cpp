// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning_set_actions.h"

#include "documents/errors.h"
#include "documents/game_files.h"
#include "documents/interfaces.h"
#include "edit_history.h"
#include "editing/changes.h"
#include "editing/outcome_texts.h"
#include "editing/tuning_set.h"
#include "window_room.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

namespace {

const QString Filter = QStringLiteral("Tuning sets (*.tuning);;All files (*)");

bool AllBuffersLoaded(const AppState& state)
{
    for (TuningFile file : TuningFiles)
        if (!DocumentLoaded(state, file))
            return false;
    return true;
}

QString Settings(size_t count)
{
    return count == 1 ? QStringLiteral("1 setting") : QStringLiteral("%1 settings").arg(count);
}

// The tuning set the player chooses in a file dialog; empty when none is chosen.
QString ChooseFile(const WindowRoom& room, QFileDialog::AcceptMode mode, const QString& caption)
{
    QFileDialog dialog(room.window, caption, room.state.WorkDir, Filter);
    dialog.setAcceptMode(mode);
    dialog.setDefaultSuffix(QStringLiteral("tuning"));
    if (mode == QFileDialog::AcceptOpen)
        dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void ExportTuningSetTo(const WindowRoom& room, const QString& path)
{
    room.guarded([&] {
        const AppState& state = room.state;
        if (!AllBuffersLoaded(state)) {
            room.messages.error(GameFilesNotLoadedText());
            return;
        }
        AppState reference;
        if (!ReadReferenceCopies(state, reference)) {
            room.messages.error(
                QStringLiteral("The reference copies \"%1\" and \"%2\" are needed to tell what "
                               "changed; nothing was exported.")
                    .arg(QLatin1String(OriginalGeneral), QLatin1String(OriginalSettings)));
            return;
        }
        const std::vector<ChangedSetting> changes = ChangedSettings(state, reference);
        WriteTuningSetFile(path, WriteTuningSet(changes));
        room.messages.information(
            QStringLiteral("Exported %1 to %2.").arg(Settings(changes.size()), path));
    });
}

void ApplyTuningSetFrom(const WindowRoom& room, const QString& path)
{
    room.guarded([&] {
        try {
            const std::vector<TuningEntry> entries = ReadTuningSetFile(path);
            if (!BuffersReadyFor(room.state, entries)) {
                room.messages.error(GameFilesNotLoadedText());
                return;
            }
            // Worked out on a copy of the documents: the step makes it.
            AppState applied = room.state;
            room.history.perform(QStringLiteral("Apply ") + QFileInfo(path).fileName(),
                                 ApplyTuningSet(applied, entries).changes);
            room.messages.information(QStringLiteral("Applied %1.").arg(Settings(entries.size())));
        } catch (const TuningSetError& error) {
            room.messages.error(TuningSetRefusal(QFileInfo(path).fileName(), error) +
                                QStringLiteral(". Nothing was applied."));
        }
    });
}

void InstallTuningSetActions(const WindowRoom& room, QMenu* file, QAction* exit)
{
    QAction* exportSet = new QAction(QStringLiteral("Export Tuning Set…"), file);
    exportSet->setObjectName(QStringLiteral("ExportTuningSet1"));
    exportSet->setStatusTip(
        QStringLiteral("Save the settings that differ from the originals as a tuning set."));
    QAction* applySet = new QAction(QStringLiteral("Apply Tuning Set…"), file);
    applySet->setObjectName(QStringLiteral("ApplyTuningSet1"));
    applySet->setStatusTip(QStringLiteral("Put the settings of a tuning set into the tabs."));
    file->insertAction(exit, exportSet);
    file->insertAction(exit, applySet);
    file->insertSeparator(exit);
    QObject::connect(exportSet, &QAction::triggered, room.window, [room] {
        const QString path =
            ChooseFile(room, QFileDialog::AcceptSave, QStringLiteral("Export Tuning Set"));
        if (!path.isEmpty())
            ExportTuningSetTo(room, path);
    });
    QObject::connect(applySet, &QAction::triggered, room.window, [room] {
        const QString path =
            ChooseFile(room, QFileDialog::AcceptOpen, QStringLiteral("Apply Tuning Set"));
        if (!path.isEmpty())
            ApplyTuningSetFrom(room, path);
    });
}
