// SPDX-License-Identifier: GPL-3.0-or-later
#include "change_marks.h"

#include "accessibility.h"
#include "controls.h"
#include "documents/disk_stamps.h"
#include "documents/game_files.h"
#include "editing/changes.h"
#include "editing/tab_actions.h"
#include "editing/value_rule.h"
#include "editing/write_back.h"
#include "key_value_grid.h"
#include "latin1.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <array>

namespace {

constexpr int ValueColumn = 1;
const QColor ChangedBackground(255, 214, 102); // amber: reads well under black text
const QColor OffShapeText(178, 34, 34);        // dark red, underlined: readable on amber too

// What the reference copies' files look like: path, size and time of each.
QString ReferenceStamp(const AppState& state)
{
    QString stamp;
    for (TuningFile file : TuningFiles) {
        const QFileInfo info(state.workFile(QLatin1String(ReferenceCopy(file))));
        stamp += info.absoluteFilePath() + QLatin1Char('|') + QString::number(info.size()) +
                 QLatin1Char('|') + QString::number(info.lastModified().toMSecsSinceEpoch()) +
                 QLatin1Char('\n');
    }
    return stamp;
}

// A small blue dot: unlike the amber of a changed value, it goes with a Save. Drawn when
// first needed, not at start.
const QIcon& UnsavedDot()
{
    static const QIcon dot = [] {
        QPixmap pixmap(10, 10);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 110, 220));
        painter.drawEllipse(1, 1, 8, 8);
        return QIcon(pixmap);
    }();
    return dot;
}

} // namespace

ChangeMarks::ChangeMarks(const WindowRoom& room, Widgets parts, QObject* parent)
    : QObject(parent), room_(room), parts_(std::move(parts))
{
    KeyValueGrid* grid = parts_.grid;
    reset_ = new QAction(QStringLiteral("Reset to original value"), grid);
    reset_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    reset_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    grid->addAction(reset_);
    connect(reset_, &QAction::triggered, this, [this] { resetRow(parts_.grid->currentRow() + 1); });

    // The marks follow every change of the documents and of what Tunedeck last read or
    // wrote of their files.
    for (TuningFile file : TuningFiles) {
        const GameDocument& document = room_.state.document(file);
        connect(&document, &GameDocument::linesChanged, this, &ChangeMarks::refresh);
        connect(&document, &GameDocument::stampChanged, this, &ChangeMarks::refresh);
    }
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this, &ChangeMarks::showMenu);
    grid->setStatusNote([this](int row) {
        const std::optional<std::string> value = original(row);
        QStringList notes;
        if (value)
            notes << QStringLiteral("Original: ") + FromLatin1(*value);
        if (row >= 1 && row < static_cast<int>(shapeNotes_.size())) {
            if (!shapeNotes_[static_cast<size_t>(row)].empty())
                notes << FromLatin1(shapeNotes_[static_cast<size_t>(row)]);
            if (unsaved_[static_cast<size_t>(row)])
                notes << QStringLiteral("Not saved");
        }
        return notes.join(QStringLiteral("   "));
    });
}

void ChangeMarks::refresh()
{
    const AppState& state = room_.state;
    KeyValueGrid* grid = parts_.grid;
    originals_.assign(static_cast<size_t>(grid->rowCount()) + 1, std::nullopt);
    shapeNotes_.assign(originals_.size(), std::string());
    unsaved_.assign(originals_.size(), false);
    markUnsavedTabs();
    if (state.ShownTab >= 0) {
        const Tab tab = static_cast<Tab>(state.ShownTab);
        if (const auto& disk = state.document(tab).stamp()) {
            const TextBuffer saved(disk->lines);
            for (size_t row = 1; row < unsaved_.size(); ++row) {
                const std::optional<SettingPlace> place = parts_.placeOf(static_cast<int>(row));
                if (const SectionRow* shown = place ? RowAt(*place) : nullptr)
                    unsaved_[row] = ShownValue(*shown, *ItemAt(*place), state.document(tab)) !=
                                    ShownValue(*shown, *ItemAt(*place), saved);
            }
        }
        const QString stamp = ReferenceStamp(state);
        if (stamp != referenceStamp_) {
            ReadReferenceCopies(state, reference_);
            referenceStamp_ = stamp;
        }
        const AppState& reference = reference_;
        if (!reference.document(tab).empty()) {
            const int item = parts_.chosenItem(tab);
            for (const ChangedSetting& change :
                 ChangedSettingsOf(tab, item, state.document(tab), reference.document(tab)))
                if (change.place.row < static_cast<int>(originals_.size()))
                    originals_[static_cast<size_t>(change.place.row)] = change.original;
            for (size_t row = 1; row < shapeNotes_.size(); ++row) {
                const std::optional<SettingPlace> place = parts_.placeOf(static_cast<int>(row));
                if (const SectionRow* shown = place ? RowAt(*place) : nullptr)
                    shapeNotes_[row] = ShapeNote(*shown, *ItemAt(*place), state.document(tab),
                                                 reference.document(tab));
            }
        }
    }
    for (int row = 1; row <= grid->rowCount(); ++row) {
        QTableWidgetItem* cell = grid->item(row - 1, ValueColumn);
        if (!cell)
            continue;
        const bool changed = originals_[static_cast<size_t>(row)].has_value();
        const bool offShape = !shapeNotes_[static_cast<size_t>(row)].empty();
        QFont font = grid->font();
        font.setBold(changed);
        font.setUnderline(offShape);
        cell->setFont(font);
        cell->setBackground(changed ? QBrush(ChangedBackground) : QBrush());
        cell->setForeground(offShape  ? QBrush(OffShapeText)
                            : changed ? QBrush(Qt::black)
                                      : QBrush());
    }
    if (grid->hasFocus())
        grid->showCurrentRowStatus();
}

void ChangeMarks::markUnsavedTabs()
{
    const std::array<QPushButton*, TabCount>& saves = parts_.saves;
    for (Tab tab : AllTabs) {
        const bool unsaved = room_.state.document(tab).holdsUnsavedEdits();
        // Only a change of mark touches the tab bar, which lays itself out again.
        if (unsaved == unsavedTabs_[static_cast<size_t>(tab)])
            continue;
        unsavedTabs_[static_cast<size_t>(tab)] = unsaved;
        const QIcon icon = unsaved ? UnsavedDot() : QIcon();
        const QString said = unsaved ? QStringLiteral("unsaved") : QString(); // the dot, aloud
        parts_.pages->setTabIcon(static_cast<int>(tab), icon);
        SetTabDescription(parts_.pages->tabBar(), static_cast<int>(tab), said);
        for (QTabBar* tabs : room_.window->findChildren<QTabBar*>(QStringLiteral("PageTabs"))) {
            tabs->setTabIcon(static_cast<int>(tab), icon); // beside the pages on a small screen
            SetTabDescription(tabs, static_cast<int>(tab), said);
        }
        saves[static_cast<size_t>(tab)]->setIcon(icon);
        saves[static_cast<size_t>(tab)]->setAccessibleDescription(said);
        saves[static_cast<size_t>(tab)]->setIconSize(QSize(8, 8));
    }
}

std::optional<std::string> ChangeMarks::original(int row) const
{
    if (row < 1 || row >= static_cast<int>(originals_.size()))
        return std::nullopt;
    return originals_[static_cast<size_t>(row)];
}

bool ChangeMarks::standsForSetting(int row) const
{
    const std::optional<SettingPlace> place = parts_.placeOf(row);
    return place && !RowKeys(*place).empty();
}

void ChangeMarks::resetRow(int row)
{
    KeyValueGrid* grid = parts_.grid;
    grid->commitPendingEdit(); // the edit in progress goes first, as leaving the cell would
    if (!original(row) || !standsForSetting(row))
        return;
    const SettingPlace place = *parts_.placeOf(row);
    const TextBuffer& reference = reference_.document(place.tab);
    room_.guarded([&] { parts_.showCommitted(row, PlanReset(room_.state, place, reference)); });
}

void ChangeMarks::showMenu(const QPoint& at)
{
    KeyValueGrid* grid = parts_.grid;
    const int row = grid->rowAt(at.y()) + 1;
    if (!standsForSetting(row))
        return; // a row that stands for no setting offers nothing
    grid->setCurrentCell(row - 1, ValueColumn);
    QMenu menu;
    QAction* reset = menu.addAction(reset_->text());
    reset->setShortcut(reset_->shortcut());
    reset->setEnabled(original(row).has_value());
    if (menu.exec(grid->viewport()->mapToGlobal(at)) == reset)
        resetRow(row);
}
