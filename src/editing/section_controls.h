#pragma once

#include <string>

// The key/value grid that the section procedure fills. The window implements it; tests
// and the command-line tool put their own in place.
// Data rows are numbered from 1; the title row has no number.
class Grid {
public:
    virtual ~Grid() = default;
    virtual int rowCount() const = 0;
    virtual void deleteRow(int row) = 0;
    virtual void insertTop(const std::string& key, const std::string& value) = 0;
};
