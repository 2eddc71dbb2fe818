#pragma once

#include "documents/app_state.h"

#include <QObject>
#include <array>
#include <cstdint>
#include <optional>

class QSessionManager;
class TForm1;

// Closing the window (Exit, Ctrl+Q, its close button, the desktop session ending) while
// the tabs hold edits that are not on disk asks once which way to go: Save writes each file
// that holds them through its tab's Save, with that Save's checks and questions, and lets
// the window close only when every save went through; Don't Save lets the edits go; Cancel
// keeps the window. With nothing unsaved nothing asks.
class ClosingQuestion : public QObject {
    Q_OBJECT
public:
    explicit ClosingQuestion(TForm1& form);

    // Whether the window may close now, asking first when edits would be lost.
    bool mayClose();

private:
    void sessionEnding(QSessionManager& manager);

    TForm1& form_;
    // The buffers' revisions when the player let their edits go: a close that follows the
    // session's question asks no more, unless something changed since.
    std::optional<std::array<std::uint64_t, TabCount>> letGo_;
};
