#pragma once

#include "documents/app_state.h"

#include <vector>

// A three-value line that a skill edit may rewrite: where its two kept fields are read,
// which buffers receive the rebuilt line (in this order) and the comment it then carries.
struct SkillLine {
    int line;
    Tab readFrom;
    std::vector<Tab> writtenTo;
    const char* comment;
};

const std::vector<SkillLine>& SkillLines();

// The entry for a line index, or nullptr when a skill edit may not rewrite that line.
const SkillLine* FindSkillLine(int line);
