// SPDX-License-Identifier: GPL-3.0-or-later
#include "history_dialog.h"

#include "catalogue/catalogue.h"
#include "documents/disk_stamps.h"
#include "documents/interfaces.h"
#include "edit_history.h"
#include "editing/tab_actions.h"
#include "latin1.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString Count(int count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QString Summary(const VersionChanges& changes, TuningFile file)
{
    if (!changes.comparable)
        return QStringLiteral("not compared: not both of %1 lines").arg(LineCountOf(file));
    if (changes.settings.empty() && changes.otherLines == 0)
        return QStringLiteral("no setting changed");
    QString text = Count(static_cast<int>(changes.settings.size()), "setting", "settings");
    if (changes.otherLines > 0)
        text += QStringLiteral(" and ") + Count(changes.otherLines, "other line", "other lines");
    return text;
}

QString ChangeText(const ChangedSetting& change)
{
    const TabCatalogue& tab = CatalogueOf(change.place.tab);
    return FromLatin1(tab.caption) + QStringLiteral(" > ") +
           FromLatin1(tab.items[static_cast<size_t>(change.place.item)].text).trimmed() +
           QStringLiteral(" > ") + FromLatin1(change.details).trimmed() + QStringLiteral(": ") +
           FromLatin1(change.original) + QStringLiteral(" → ") + FromLatin1(change.current);
}

// The file's document takes the lines the game file now holds, which no step before can be
// undone over.
void RefillDocument(const WindowRoom& room, TuningFile file)
{
    AppState& state = room.state;
    state.document(file).assign(ContentLines(file, PathOf(state, file)));
    room.history.clear();
}

} // namespace

HistoryDialog::HistoryDialog(const WindowRoom& room)
    : QDialog(room.window), room_(room), list_(new QTreeWidget(this)),
      putBack_(new QPushButton(QStringLiteral("Put back"), this))
{
    setObjectName(QStringLiteral("SaveHistory"));
    setFont(room.window->font()); // a dialog is a window of its own: it would take the desktop's
    setWindowTitle(QStringLiteral("History"));
    list_->setObjectName(QStringLiteral("HistoryVersions"));
    list_->setHeaderLabels(
        {QStringLiteral("Kept"), QStringLiteral("File"), QStringLiteral("What changed after it")});
    // The spanned change lines must not widen the time column.
    list_->header()->setSectionResizeMode(QHeaderView::Interactive);
    list_->header()->setStretchLastSection(true);
    list_->setColumnWidth(0,
                          fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) +
                              list_->indentation() + 24);
    list_->setColumnWidth(1, fontMetrics().horizontalAdvance(QStringLiteral("Settings.txt")) + 24);
    putBack_->setObjectName(QStringLiteral("PutBack"));
    putBack_->setStatusTip(
        QStringLiteral("Write the chosen version over its game file, as Save does."));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(putBack_, QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(760, 420);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(putBack_, &QPushButton::clicked, this, [this] { putBack(chosenRow()); });
    connect(list_, &QTreeWidget::currentItemChanged, this,
            [this] { putBack_->setEnabled(chosenRow() >= 0); });
    fill();
}

void HistoryDialog::fill()
{
    list_->clear();
    room_.guarded([this] {
        entries_ = SaveHistory(room_.state, {TuningFiles.begin(), TuningFiles.end()});
    });
    for (const HistoryEntry& entry : entries_) {
        const TuningFile file = entry.version.file;
        auto* version = new QTreeWidgetItem(
            list_, {ShownTime(entry.version), HistoryName(file), Summary(entry.changes, file)});
        QStringList changes;
        for (const ChangedSetting& change : entry.changes.settings)
            changes << ChangeText(change);
        if (entry.changes.otherLines > 0 && !entry.changes.settings.empty())
            changes << QStringLiteral("and ") +
                           Count(entry.changes.otherLines, "other line", "other lines");
        // A change takes the whole width of the list, below its version.
        for (const QString& change : changes)
            new QTreeWidgetItem(version, {change});
        for (int i = 0; i < version->childCount(); ++i)
            version->child(i)->setFirstColumnSpanned(true);
    }
    list_->expandAll();
    putBack_->setEnabled(chosenRow() >= 0);
}

int HistoryDialog::chosenRow() const
{
    QTreeWidgetItem* item = list_->currentItem();
    if (!item)
        return -1;
    while (item->parent())
        item = item->parent();
    return list_->indexOfTopLevelItem(item);
}

void HistoryDialog::putBack(int row)
{
    if (row < 0 || row >= static_cast<int>(entries_.size()))
        return;
    const KeptVersion version = entries_[static_cast<size_t>(row)].version;
    const TuningFile file = version.file;
    if (room_.state.document(file).holdsUnsavedEdits() &&
        !room_.messages.ask(
            QStringLiteral("The tabs hold changes to %1 that are not saved. Putting back "
                           "the version kept at %2 replaces them. Put it back?")
                .arg(HistoryName(file), ShownTime(version))))
        return;
    room_.guarded([&] {
        if (PutBack(room_.state, room_.messages, room_.progress, version) == ActionOutcome::Done)
            RefillDocument(room_, file);
    });
    fill();
}

void InstallSaveHistory(const WindowRoom& room, QMenu* file, QAction* exit)
{
    QAction* history = new QAction(QStringLiteral("History…"), file);
    history->setObjectName(QStringLiteral("History1"));
    history->setStatusTip(
        QStringLiteral("The versions kept before each save, and putting one back."));
    file->insertAction(exit, history);
    QObject::connect(history, &QAction::triggered, room.window, [room] {
        HistoryDialog dialog(room);
        dialog.exec();
    });
}
