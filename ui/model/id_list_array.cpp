#include "ui/model/id_list_array.h"

#include <cstring>

namespace qmz {
namespace {

constexpr std::size_t kCountSize = sizeof(uint32_t);
constexpr std::size_t kOffsetSize = sizeof(uint32_t);
constexpr std::size_t kItemSizeField = sizeof(uint16_t);

uint32_t ReadUint32(const uint8_t* at) {
    uint32_t value = 0;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

uint16_t ReadUint16(const uint8_t* at) {
    uint16_t value = 0;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

// An item list is a chain of items, each starting with its own size (which counts the
// size field), ended by a zero size.
bool IdListFits(const uint8_t* block, std::size_t size, std::size_t offset) {
    std::size_t position = offset;
    while (position <= size && size - position >= kItemSizeField) {
        const uint16_t itemSize = ReadUint16(block + position);
        if (itemSize == 0) {
            return true;
        }
        if (itemSize < kItemSizeField) {
            return false;
        }
        position += itemSize;
    }
    return false;
}

}  // namespace

bool ParseIdListArray(const uint8_t* block, std::size_t size, IdListArrayLayout* layout) {
    if (block == nullptr || size < kCountSize) {
        return false;
    }
    const std::size_t count = ReadUint32(block);
    // The count and the parent's offset come first, then one offset per item.
    const std::size_t offsetSlots = (size - kCountSize) / kOffsetSize;
    if (offsetSlots == 0 || count > offsetSlots - 1) {
        return false;
    }
    std::vector<std::size_t> offsets(count + 1);
    for (std::size_t i = 0; i <= count; ++i) {
        offsets[i] = ReadUint32(block + kCountSize + i * kOffsetSize);
        if (!IdListFits(block, size, offsets[i])) {
            return false;
        }
    }
    layout->parentOffset = offsets[0];
    layout->itemOffsets.assign(offsets.begin() + 1, offsets.end());
    return true;
}

}  // namespace qmz
