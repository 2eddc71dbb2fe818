// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit_history.h"

#include "latin1.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QUndoCommand>

namespace {

// One step: an edit of the documents, made by redo() and taken back by undo().
class EditStep : public QUndoCommand {
public:
    EditStep(AppState& documents, EditHistory& history, const QString& text, DocumentEdit edit,
             std::optional<SettingPlace> place)
        : QUndoCommand(text), documents_(documents), history_(history), edit_(std::move(edit)),
          place_(place)
    {
    }
    void undo() override
    {
        TakeBack(documents_, edit_);
        history_.showTaken(place_, QStringLiteral("Undo"), text());
    }
    void redo() override
    {
        MakeAgain(documents_, edit_);
        if (done_) // the first redo comes with the push, within the handler that made it
            history_.showTaken(place_, QStringLiteral("Redo"), text());
        done_ = true;
    }

private:
    AppState& documents_;
    EditHistory& history_;
    DocumentEdit edit_;
    std::optional<SettingPlace> place_;
    bool done_ = false;
};

} // namespace

EditHistory::EditHistory(AppState& documents, ShowSetting show, QObject* parent)
    : QObject(parent), documents_(documents), show_(std::move(show))
{
    stack_.setUndoLimit(500);
}

QMenu* EditHistory::addMenu(QMenuBar* bar, QAction* before)
{
    auto* menu = new QMenu(QStringLiteral("&Edit"), bar);
    menu->menuAction()->setObjectName(QStringLiteral("Edit1"));
    bar->insertMenu(before, menu);
    QAction* undo = stack_.createUndoAction(menu, QStringLiteral("Undo"));
    undo->setObjectName(QStringLiteral("Undo1"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = stack_.createRedoAction(menu, QStringLiteral("Redo"));
    redo->setObjectName(QStringLiteral("Redo1"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    menu->addAction(undo);
    menu->addAction(redo);
    return menu;
}

void EditHistory::perform(const QString& text, DocumentEdit edit, std::optional<SettingPlace> place)
{
    if (edit.changesText())
        stack_.push(new EditStep(documents_, *this, text, std::move(edit), place));
}

void EditHistory::showTaken(const std::optional<SettingPlace>& place, const QString& action,
                            const QString& step)
{
    if (place)
        show_(*place);
    emit taken(action, step);
}

void EditHistory::clear()
{
    stack_.clear();
}

QString StepName(const std::string& details)
{
    static const QRegularExpression aside(
        QStringLiteral("\\s*\\((?!easy\\)|medium\\)|hard\\))[^()]*\\)"));
    QString name = FromLatin1(details);
    name.remove(aside);
    return name.trimmed().isEmpty() ? FromLatin1(details).trimmed() : name.trimmed();
}
