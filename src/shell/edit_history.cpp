// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit_history.h"

#include "latin1.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QUndoCommand>

namespace {

// One step: an edit the core made and told, taken back and made again as it was told.
class EditStep : public QUndoCommand {
public:
    EditStep(AppState& buffers, const EditHistory::ShowSetting& show, const QString& text,
             BufferEdit edit, std::optional<SettingPlace> place)
        : QUndoCommand(text), buffers_(buffers), show_(show), edit_(std::move(edit)), place_(place)
    {
    }
    void undo() override
    {
        TakeBack(buffers_, edit_);
        show_(place_);
    }
    void redo() override
    {
        if (made_) { // the first redo comes with the push, after the handler made the edit
            MakeAgain(buffers_, edit_);
            show_(place_);
        }
        made_ = true;
    }

private:
    AppState& buffers_;
    const EditHistory::ShowSetting& show_;
    BufferEdit edit_;
    std::optional<SettingPlace> place_;
    bool made_ = false;
};

} // namespace

EditHistory::EditHistory(AppState& buffers, ShowSetting show, QObject* parent)
    : QObject(parent), buffers_(buffers), show_(std::move(show))
{
    stack_.setUndoLimit(500);
}

void EditHistory::addMenu(QMenuBar* bar, QAction* before)
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
}

void EditHistory::add(const QString& text, BufferEdit edit, std::optional<SettingPlace> place)
{
    if (edit.changesText())
        stack_.push(new EditStep(buffers_, show_, text, std::move(edit), place));
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
