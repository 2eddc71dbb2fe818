#include "tuning_set_actions.h"

#include "documents/errors.h"
#include "documents/game_files.h"
#include "documents/interfaces.h"
#include "edit_history.h"
#include "editing/changes.h"
#include "editing/tuning_set.h"
#include "general.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

namespace {

const QString Filter = QStringLiteral("Tuning sets (*.tuning);;All files (*)");
const QString NoGameFiles = QStringLiteral("Save your \"Gorewheel II\" directory first.");

bool AllBuffersLoaded(const AppState& state)
{
    for (TuningFile file : TuningFiles)
        if (!BuffersLoaded(state, file))
            return false;
    return true;
}

QString Settings(size_t count)
{
    return count == 1 ? QStringLiteral("1 setting") : QStringLiteral("%1 settings").arg(count);
}

// Runs the section handler of the tab again, so the grid shows the values now in its buffer.
QString ChooseFile(TForm1& form, QFileDialog::AcceptMode mode, const QString& caption)
{
    QFileDialog dialog(&form, caption, form.state().WorkDir, Filter);
    dialog.setAcceptMode(mode);
    dialog.setDefaultSuffix(QStringLiteral("tuning"));
    if (mode == QFileDialog::AcceptOpen)
        dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void ExportTuningSetTo(TForm1& form, const QString& path)
{
    form.guarded([&] {
        const AppState& state = form.state();
        if (!AllBuffersLoaded(state)) {
            form.messages().error(NoGameFiles);
            return;
        }
        AppState reference;
        if (!ReadReferenceCopies(state, reference)) {
            form.messages().error(
                QStringLiteral("The reference copies \"%1\" and \"%2\" are needed to tell what "
                               "changed; nothing was exported.")
                    .arg(QLatin1String(OriginalGeneral), QLatin1String(OriginalSettings)));
            return;
        }
        const std::vector<ChangedSetting> changes = ChangedSettings(state, reference);
        WriteTuningSetFile(path, WriteTuningSet(changes));
        form.messages().information(
            QStringLiteral("Exported %1 to %2.").arg(Settings(changes.size()), path));
    });
}

void ApplyTuningSetFrom(TForm1& form, const QString& path)
{
    form.guarded([&] {
        try {
            const std::vector<TuningEntry> entries = ReadTuningSetFile(path);
            if (!BuffersReadyFor(form.state(), entries)) {
                form.messages().error(NoGameFiles);
                return;
            }
            form.editHistory().nameStep(QStringLiteral("Apply ") + QFileInfo(path).fileName());
            ApplyTuningSet(form.state(), entries);
            form.showSectionAgain();
            form.messages().information(
                QStringLiteral("Applied %1.").arg(Settings(entries.size())));
        } catch (const TuningSetError& error) {
            form.messages().error(QStringLiteral("%1, line %2: %3. Nothing was applied.")
                                      .arg(QFileInfo(path).fileName())
                                      .arg(error.line())
                                      .arg(QString::fromLatin1(error.what())));
        }
    });
}

void InstallTuningSetActions(TForm1& form)
{
    QMenu* file = form.File1->menu();
    QAction* exportSet = new QAction(QStringLiteral("Export Tuning Set…"), file);
    exportSet->setObjectName(QStringLiteral("ExportTuningSet1"));
    exportSet->setStatusTip(
        QStringLiteral("Save the settings that differ from the originals as a tuning set."));
    QAction* applySet = new QAction(QStringLiteral("Apply Tuning Set…"), file);
    applySet->setObjectName(QStringLiteral("ApplyTuningSet1"));
    applySet->setStatusTip(QStringLiteral("Put the settings of a tuning set into the tabs."));
    file->insertAction(form.Exit1, exportSet);
    file->insertAction(form.Exit1, applySet);
    file->insertSeparator(form.Exit1);
    QObject::connect(exportSet, &QAction::triggered, &form, [&form] {
        const QString path =
            ChooseFile(form, QFileDialog::AcceptSave, QStringLiteral("Export Tuning Set"));
        if (!path.isEmpty())
            ExportTuningSetTo(form, path);
    });
    QObject::connect(applySet, &QAction::triggered, &form, [&form] {
        const QString path =
            ChooseFile(form, QFileDialog::AcceptOpen, QStringLiteral("Apply Tuning Set"));
        if (!path.isEmpty())
            ApplyTuningSetFrom(form, path);
    });
}
