#pragma once

#include "documents/interfaces.h"

// Opens a file the way the desktop does (its default opener), in a folder of the
// caller's choice, without waiting for it and without a shell command line.
class DesktopLauncher : public Launcher {
public:
    void open(const QString& file, const QString& workingDir) override;
};
