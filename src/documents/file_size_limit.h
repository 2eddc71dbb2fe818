// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A write past the file-size limit (ulimit -f) raises SIGXFSZ, whose default ends the
// process with every unsaved edit. Ignored, the write fails with EFBIG instead, and the save
// ends with the system's words like any other failing write. Called first by each program's
// main; a no-op where the system has no such signal.
void IgnoreFileSizeLimitSignal();
