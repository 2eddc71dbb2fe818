// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit_history.h"

#include "latin1.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QUndoCommand>

namespace {

// What a step did to one buffer: the lines that differ, or the whole buffer when its
// line count changed.
struct BufferChange {
    Tab tab = Tab::CarSettings;
    bool whole = false;
    std::vector<int> lines;
    std::vector<std::string> before;
    std::vector<std::string> after;
};

std::vector<BufferChange> Compare(const std::array<std::vector<std::string>, TabCount>& held,
                                  const AppState& state)
{
    std::vector<BufferChange> changes;
    for (Tab tab : AllTabs) {
        const std::vector<std::string>& before = held[static_cast<size_t>(tab)];
        const std::vector<std::string>& after = state.buffer(tab).lines();
        if (before == after)
            continue;
        BufferChange change;
        change.tab = tab;
        if (before.size() != after.size()) {
            change.whole = true;
            change.before = before;
            change.after = after;
        } else {
            for (size_t i = 0; i < after.size(); ++i)
                if (before[i] != after[i]) {
                    change.lines.push_back(static_cast<int>(i));
                    change.before.push_back(before[i]);
                    change.after.push_back(after[i]);
                }
        }
        changes.push_back(std::move(change));
    }
    return changes;
}

void Put(AppState& state, const BufferChange& change, bool undo)
{
    const std::vector<std::string>& lines = undo ? change.before : change.after;
    TextBuffer& buffer = state.buffer(change.tab);
    if (change.whole) {
        buffer.assign(lines);
        return;
    }
    for (size_t i = 0; i < change.lines.size(); ++i)
        buffer.setLine(change.lines[i], lines[i]);
}

} // namespace

class BufferStep : public QUndoCommand {
public:
    BufferStep(EditHistory& history, const QString& text, std::optional<SettingPlace> place,
               std::vector<BufferChange> changes)
        : QUndoCommand(text), history_(history), place_(place), changes_(std::move(changes))
    {
    }
    void undo() override { put(true); }
    void redo() override
    {
        if (done_) // pushed after the handler made it
            put(false);
        done_ = true;
    }

private:
    void put(bool undo)
    {
        AppState& state = history_.buffers_;
        for (const BufferChange& change : changes_)
            Put(state, change, undo);
        history_.takeCurrentBuffers();
        history_.show(place_);
    }

    EditHistory& history_;
    std::optional<SettingPlace> place_;
    std::vector<BufferChange> changes_;
    bool done_ = false;
};

EditHistory::EditHistory(AppState& buffers, ShowSetting show, QObject* parent)
    : QObject(parent), buffers_(buffers), show_(std::move(show))
{
    stack_.setUndoLimit(500);
    takeCurrentBuffers();
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

void EditHistory::nameStep(const QString& text, std::optional<SettingPlace> place)
{
    pendingText_ = text;
    pendingPlace_ = place;
    named_ = true;
}

void EditHistory::record()
{
    std::vector<BufferChange> changes = Compare(held_, buffers_);
    const bool named = named_;
    named_ = false;
    if (changes.empty())
        return;
    takeCurrentBuffers();
    if (!named) {
        stack_.clear();
        return;
    }
    stack_.push(new BufferStep(*this, pendingText_, pendingPlace_, std::move(changes)));
}

void EditHistory::takeCurrentBuffers()
{
    for (Tab tab : AllTabs)
        held_[static_cast<size_t>(tab)] = buffers_.buffer(tab).lines();
}

void EditHistory::clear()
{
    stack_.clear();
    takeCurrentBuffers();
}

void EditHistory::show(const std::optional<SettingPlace>& place)
{
    show_(place);
}

QString StepName(const std::string& details)
{
    static const QRegularExpression aside(
        QStringLiteral("\\s*\\((?!easy\\)|medium\\)|hard\\))[^()]*\\)"));
    QString name = FromLatin1(details);
    name.remove(aside);
    return name.trimmed().isEmpty() ? FromLatin1(details).trimmed() : name.trimmed();
}
