// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_settling.h"

#include <algorithm>

namespace {

bool SameFile(const FileStamp& a, const FileStamp& b)
{
    return a.size == b.size && a.modified == b.modified && a.checksum == b.checksum;
}

} // namespace

int FileSettling::remaining(size_t index, const FileStamp& seen, const FileStamp& now)
{
    // A file cut inside its last line may have its line count all the same.
    const bool unfinished = seen.endsWithLineBreak && !now.endsWithLineBreak;
    const int wait = unfinished ? unfinishedTime_ : settleTime_;
    std::optional<Found>& found = found_[index];
    if (!found || !SameFile(found->stamp, now)) {
        found.emplace();
        found->stamp = {now.size, now.modified, now.checksum, {}, now.endsWithLineBreak};
        found->since.start();
        return std::max(wait, 1);
    }
    const qint64 waited = found->since.elapsed();
    return waited >= wait ? 0 : static_cast<int>(wait - waited);
}
