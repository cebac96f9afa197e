// Reads the layout of a "Shell IDList Array" block (the shell's list of dropped items:
// a count, the offset of the parent folder's item list and one offset per item) and
// checks it against the block's size, so that a malformed block from another program
// is refused instead of read beyond its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qmz {

struct IdListArrayLayout {
    std::size_t parentOffset = 0;
    std::vector<std::size_t> itemOffsets;
};

// True when the count fits the block and every item list starts inside it and ends
// (with its zero terminator) inside it.
bool ParseIdListArray(const uint8_t* block, std::size_t size, IdListArrayLayout* layout);

}  // namespace qmz
