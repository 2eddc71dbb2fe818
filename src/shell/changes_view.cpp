// SPDX-License-Identifier: GPL-3.0-or-later
#include "changes_view.h"

#include "documents/interfaces.h"
#include "documents/reference_copies.h"
#include "edit_history.h"
#include "latin1.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace {

enum Column { TabColumn, SectionColumn, DetailsColumn, OriginalColumn, CurrentColumn, SavedColumn };

QTableWidgetItem* Cell(const QString& text)
{
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return cell;
}

} // namespace

ChangesView::ChangesView(const WindowRoom& room) : QDialog(room.window), room_(room)
{
    setObjectName(QStringLiteral("ChangesView"));
    setWindowTitle(QStringLiteral("Changed Settings"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("ChangesSummary"));
    summary_->setWordWrap(true);
    table_ = new QTableWidget(0, SavedColumn + 1, this);
    table_->setObjectName(QStringLiteral("ChangesTable"));
    table_->setAccessibleName(QStringLiteral("Changed settings"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Tab"), QStringLiteral("Section"),
                                       QStringLiteral("Details"), QStringLiteral("Original"),
                                       QStringLiteral("Current"), QStringLiteral("Saved")});
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(DetailsColumn, QHeaderView::Stretch);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false); // Tab goes on to the buttons
    table_->installEventFilter(this);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { showCurrent(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addLayout(makeButtons());
    resize(900, 420);

    // The list follows every change of the documents and of what was last saved.
    for (TuningFile file : TuningFiles) {
        const GameDocument& document = room_.state.document(file);
        connect(&document, &GameDocument::linesChanged, this, &ChangesView::refreshSoon);
        connect(&document, &GameDocument::stampChanged, this, &ChangesView::refreshSoon);
    }
    // Undo and Redo work here as in the window.
    for (QAction* action : room_.window->findChildren<QAction*>())
        if (action->objectName() == QLatin1String("Undo1") ||
            action->objectName() == QLatin1String("Redo1"))
            addAction(action);
}

QHBoxLayout* ChangesView::makeButtons()
{
    auto* buttons = new QHBoxLayout;
    const auto add = [&](const QString& text, const std::function<void()>& clicked) {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(false); // Enter belongs to the table
        connect(button, &QPushButton::clicked, this, clicked);
        buttons->addWidget(button);
        return button;
    };
    buttons_ = {
        add(QStringLiteral("Reset &Selected"), [this] { resetSelected(); }),
        add(QStringLiteral("Reset Se&ction"), [this] { resetSection(); }),
        add(QStringLiteral("Reset &General.txt"), [this] { resetFile(TuningFile::General); }),
        add(QStringLiteral("Reset Se&ttings.txt"), [this] { resetFile(TuningFile::Settings); })};
    buttons->addStretch();
    add(QStringLiteral("Close"), [this] { close(); });
    return buttons;
}

void ChangesView::refreshSoon()
{
    // A tuning set changes many lines at once: the list is read again once they are made.
    if (!isVisible() || refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        refresh();
    });
}

void ChangesView::refresh()
{
    // The row that was current stays current while it is listed.
    const int before = currentIndex();
    const std::optional<SettingPlace> kept =
        before >= 0 ? std::optional(list_.rows[static_cast<size_t>(before)].change.place)
                    : std::nullopt;
    ReadReferenceCopies(room_.state, reference_);
    list_ = ListChanges(room_.state, reference_);
    fill();
    int current = kept ? IndexOf(list_, *kept) : -1;
    if (current < 0)
        current = std::min(std::max(before, 0), static_cast<int>(list_.rows.size()) - 1);
    if (current >= 0)
        table_->setCurrentCell(current, TabColumn);
}

void ChangesView::fill()
{
    table_->clearContents();
    table_->setRowCount(static_cast<int>(list_.rows.size()));
    for (int i = 0; i < table_->rowCount(); ++i) {
        const ChangeRow& row = list_.rows[static_cast<size_t>(i)];
        table_->setItem(i, TabColumn, Cell(row.tab));
        table_->setItem(i, SectionColumn, Cell(row.section));
        table_->setItem(i, DetailsColumn, Cell(FromLatin1(row.change.details)));
        table_->setItem(i, OriginalColumn, Cell(FromLatin1(row.change.original)));
        table_->setItem(i, CurrentColumn, Cell(FromLatin1(row.change.current)));
        table_->setItem(i, SavedColumn,
                        Cell(row.saved ? QStringLiteral("Yes") : QStringLiteral("No")));
    }
    table_->resizeColumnToContents(TabColumn);
    table_->resizeColumnToContents(SectionColumn);
    const QString text = ChangesSummary(room_.state, list_);
    summary_->setText(text);
    table_->setAccessibleDescription(text);
    table_->setVisible(list_.referenceRead);
    for (QPushButton* button : buttons_)
        button->setEnabled(!list_.rows.empty());
}

int ChangesView::currentIndex() const
{
    return table_->currentRow() < static_cast<int>(list_.rows.size()) ? table_->currentRow() : -1;
}

void ChangesView::showCurrent()
{
    const int index = currentIndex();
    if (index < 0)
        return;
    room_.window->activateWindow();
    room_.showSetting(list_.rows[static_cast<size_t>(index)].change.place);
}

void ChangesView::reset(const QString& name, const std::vector<SettingPlace>& places)
{
    if (places.empty())
        return;
    room_.guarded([&] {
        std::string refusal;
        DocumentEdit edit = PlanResets(room_.state, places, reference_, refusal);
        if (!refusal.empty())
            room_.messages.error(QString::fromStdString(refusal));
        room_.history.perform(name, std::move(edit), places.front());
    });
    refresh(); // at once, not after the window's views
}

void ChangesView::resetSelected()
{
    std::vector<size_t> chosen;
    for (int row = 0; row < static_cast<int>(list_.rows.size()); ++row)
        if (table_->selectionModel()->isRowSelected(row, {}))
            chosen.push_back(static_cast<size_t>(row));
    std::vector<SettingPlace> places;
    for (size_t row : chosen)
        places.push_back(list_.rows[row].change.place);
    reset(QStringLiteral("Reset ") + (chosen.size() == 1
                                          ? StepName(list_.rows[chosen[0]].change.details)
                                          : Count(chosen.size(), "Setting", "Settings")),
          places);
}

void ChangesView::resetSection()
{
    if (const int index = currentIndex(); index >= 0) {
        const SettingPlace at = list_.rows[static_cast<size_t>(index)].change.place;
        reset(QStringLiteral("Reset ") + SectionLabel(at),
              PlacesWhere(list_, [&](const SettingPlace& place) {
                  return place.tab == at.tab && place.item == at.item;
              }));
    }
}

void ChangesView::resetFile(TuningFile file)
{
    reset(QStringLiteral("Reset ") + QLatin1String(GameFileName(file)),
          PlacesWhere(list_, [&](const SettingPlace& place) { return FileOf(place.tab) == file; }));
}

bool ChangesView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            showCurrent();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ChangesView::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    refresh();
}

void InstallChangesView(const WindowRoom& room, QMenu* edit)
{
    edit->addSeparator();
    QAction* open = edit->addAction(QStringLiteral("Changed Settings…"));
    open->setObjectName(QStringLiteral("ChangedSettings1"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    open->setStatusTip(QStringLiteral("List every setting that differs from the originals."));
    QObject::connect(open, &QAction::triggered, room.window, [room] {
        auto* view = room.window->findChild<ChangesView*>();
        if (!view)
            view = new ChangesView(room);
        view->show();
        view->raise();
        view->activateWindow();
        view->table()->setFocus();
    });
}
