#pragma once

#include "documents/app_state.h"
#include "editing/setting_value.h"

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <array>
#include <optional>
#include <string>
#include <vector>

class TForm1;

// The window's one undo history, across tabs. A handler that changes the buffers names
// its step; after every handler the buffers are compared with what they held before it,
// and what changed becomes that step. A change nobody named (a load, a directory save)
// leaves nothing to go back to: the history is cleared. Undo and redo put the lines back,
// then show the setting the step changed with its row current. Text typed into a file
// details view has the view's own undo and is not a step here.
class EditHistory : public QObject {
    Q_OBJECT
public:
    // Builds the Edit menu (Undo, Redo) between File and View.
    explicit EditHistory(TForm1& form);

    // Names the step the running handler makes, and where it shows.
    void nameStep(const QString& text, std::optional<SettingPlace> place = std::nullopt);
    // Run after every handler.
    void record();
    // Takes the buffers as they now are without making a step (typing in a details view).
    void takeCurrentBuffers();
    void clear();

    QUndoStack& stack() { return stack_; }

private:
    friend class BufferStep;
    void show(const std::optional<SettingPlace>& place);

    TForm1& form_;
    QUndoStack stack_;
    std::array<std::vector<std::string>, TabCount> held_; // the buffers after the last step
    QString pendingText_;
    std::optional<SettingPlace> pendingPlace_;
    bool named_ = false;
};

// A short name for a setting in an undo step: its Details text without the explanation in
// brackets that most descriptions carry (a skill level stays).
QString StepName(const std::string& details);
