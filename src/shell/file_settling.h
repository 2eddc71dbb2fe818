// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"

#include <QElapsedTimer>
#include <array>
#include <optional>

// Tells when another program has stopped writing a game file. What a read of the file finds
// is taken only once a later read found the same size, time and bytes at least the settle
// time after it was first found; a file that has lost the final line break it had when
// Tunedeck last read it (a writer paused inside its last line) only after the longer wait
// of an unfinished file. Files that never had a final line break wait as any other.
class FileSettling {
public:
    void setSettleTime(int milliseconds) { settleTime_ = milliseconds; }
    void setUnfinishedTime(int milliseconds) { unfinishedTime_ = milliseconds; }

    // Milliseconds yet to wait before `now`, what a read of the file `index` found, may be
    // taken as its content; 0 once it may. `seen` is what Tunedeck last read or wrote of it.
    int remaining(size_t index, const FileStamp& seen, const FileStamp& now);
    // Starts anew: the file is as Tunedeck last read or wrote it, or was read.
    void forget(size_t index) { found_[index].reset(); }

private:
    struct Found {
        FileStamp stamp; // size, time and checksum only
        QElapsedTimer since;
    };
    int settleTime_ = 200;
    int unfinishedTime_ = 5000;
    std::array<std::optional<Found>, 2> found_;
};
