// SPDX-License-Identifier: GPL-3.0-or-later
#include "find_setting_dialog.h"

#include "catalogue/catalogue.h"
#include "latin1.h"
#include "window_room.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>

std::vector<FoundRow> FindRows(const QString& query)
{
    const QStringList words = query.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    std::vector<FoundRow> found;
    if (words.isEmpty())
        return found;
    ForEachSectionRow(
        [&](const SettingPlace& place, const ChooserItem& item, const SectionRow& row) {
            const QString itemText = FromLatin1(item.text).trimmed();
            const QString details = FromLatin1(DetailsText(row, item)).trimmed();
            const QString searched = itemText + QLatin1Char(' ') + details;
            const bool all = std::all_of(words.begin(), words.end(), [&](const QString& w) {
                return searched.contains(w, Qt::CaseInsensitive);
            });
            if (all)
                found.push_back({place, FromLatin1(CatalogueOf(place.tab).caption) +
                                            QStringLiteral(" > ") + itemText +
                                            QStringLiteral(" > ") + details});
        });
    return found;
}

FindSettingDialog::FindSettingDialog(QWidget* window)
    : QDialog(window), search_(new QLineEdit(this)), matches_(new QListWidget(this))
{
    setObjectName(QStringLiteral("FindSetting"));
    setFont(window->font()); // a dialog is a window of its own: it would take the desktop's
    setWindowTitle(QStringLiteral("Find Setting"));
    search_->setObjectName(QStringLiteral("FindText"));
    search_->setPlaceholderText(QStringLiteral("Words of a description or item"));
    matches_->setObjectName(QStringLiteral("FindMatches"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(search_);
    layout->addWidget(matches_);
    resize(640, 320);
    connect(search_, &QLineEdit::textChanged, this, &FindSettingDialog::search);
    connect(search_, &QLineEdit::returnPressed, this, &FindSettingDialog::choose);
    connect(matches_, &QListWidget::itemActivated, this, &FindSettingDialog::choose);
    // Up and Down in the search box walk the list, so typing and choosing need no mouse.
    search_->installEventFilter(this);
}

void FindSettingDialog::search()
{
    found_ = FindRows(search_->text());
    matches_->clear();
    for (const FoundRow& row : found_)
        matches_->addItem(row.text);
    if (!found_.empty())
        matches_->setCurrentRow(0);
}

void FindSettingDialog::choose()
{
    const int chosen = matches_->currentRow();
    if (chosen < 0 || chosen >= static_cast<int>(found_.size()))
        return;
    chosen_ = found_[static_cast<size_t>(chosen)].place;
    accept();
}

bool FindSettingDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up) {
            const int next = matches_->currentRow() + (key == Qt::Key_Down ? 1 : -1);
            if (next >= 0 && next < matches_->count())
                matches_->setCurrentRow(next);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void InstallFindSetting(const WindowRoom& room, QMenu* view)
{
    QAction* find = view->addAction(QStringLiteral("Find Setting…"));
    find->setObjectName(QStringLiteral("FindSetting1"));
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    find->setStatusTip(QStringLiteral("Find a setting by the words of its description."));
    QObject::connect(find, &QAction::triggered, room.window, [room] {
        FindSettingDialog dialog(room.window);
        // The section is shown once the dialog has gone, so the grid can take the focus.
        if (dialog.exec() == QDialog::Accepted)
            room.showSetting(dialog.chosen());
    });
}
