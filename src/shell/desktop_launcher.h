#pragma once

#include "documents/interfaces.h"

// Opens a file the way the desktop does (xdg-open; on Windows the file itself), in a
// folder of the caller's choice, without waiting for it and without a shell command
// line. It fails when the opener is missing or cannot be run; what the opener then does
// with the file is its own affair.
class DesktopLauncher : public Launcher {
public:
    bool open(const QString& file, const QString& workingDir, QString& failure) override;
};
