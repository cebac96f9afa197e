// The layout of a dropped "Shell IDList Array", and the refusal of malformed blocks.
#include "ui/model/id_list_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace qmz {
namespace {

class CBlock {
public:
    void Uint32(uint32_t value) { Append(&value, sizeof(value)); }
    void Uint16(uint16_t value) { Append(&value, sizeof(value)); }
    // One item list: items of the given sizes (their bytes are filler), then the end.
    void IdList(std::vector<uint16_t> itemSizes) {
        for (uint16_t itemSize : itemSizes) {
            Uint16(itemSize);
            m_bytes.insert(m_bytes.end(), itemSize - 2u, uint8_t{0x5a});
        }
        Uint16(0);
    }
    std::size_t Size() const { return m_bytes.size(); }
    std::vector<uint8_t>& Bytes() { return m_bytes; }

private:
    void Append(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    }
    std::vector<uint8_t> m_bytes;
};

// Two items: header 4 + 3 * 4 = 16 bytes, then the parent (an empty list), then two lists.
CBlock TwoItems() {
    CBlock block;
    block.Uint32(2);
    block.Uint32(16);
    block.Uint32(18);
    block.Uint32(26);
    block.IdList({});
    block.IdList({6});
    block.IdList({4, 10});
    return block;
}

TEST(IdListArrayTest, AWellFormedBlockGivesTheParentAndItemOffsets) {
    CBlock block = TwoItems();
    IdListArrayLayout layout;
    ASSERT_TRUE(ParseIdListArray(block.Bytes().data(), block.Size(), &layout));
    EXPECT_EQ(layout.parentOffset, 16u);
    EXPECT_EQ(layout.itemOffsets, (std::vector<std::size_t>{18u, 26u}));

    CBlock empty;
    empty.Uint32(0);
    empty.Uint32(8);
    empty.IdList({});
    ASSERT_TRUE(ParseIdListArray(empty.Bytes().data(), empty.Size(), &layout));
    EXPECT_TRUE(layout.itemOffsets.empty());
}

TEST(IdListArrayTest, MalformedBlocksAreRefused) {
    IdListArrayLayout layout;
    CBlock good = TwoItems();
    const std::vector<uint8_t> bytes = good.Bytes();
    EXPECT_FALSE(ParseIdListArray(nullptr, 0, &layout));
    EXPECT_FALSE(ParseIdListArray(bytes.data(), 3, &layout));

    // The same block cut short at every length: the last list loses its terminator.
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + size);
        EXPECT_FALSE(ParseIdListArray(cut.data(), cut.size(), &layout)) << size;
    }

    // A count larger than the offsets the block can hold.
    CBlock huge = TwoItems();
    huge.Bytes()[0] = 0xff;
    huge.Bytes()[3] = 0x7f;
    EXPECT_FALSE(ParseIdListArray(huge.Bytes().data(), huge.Size(), &layout));

    // An offset outside the block.
    CBlock outside = TwoItems();
    outside.Bytes()[8] = 0xf0;
    EXPECT_FALSE(ParseIdListArray(outside.Bytes().data(), outside.Size(), &layout));

    // An item whose size cannot move past its own size field.
    CBlock stuck;
    stuck.Uint32(1);
    stuck.Uint32(12);
    stuck.Uint32(14);
    stuck.IdList({});
    stuck.Uint16(1);
    stuck.Uint16(0);
    EXPECT_FALSE(ParseIdListArray(stuck.Bytes().data(), stuck.Size(), &layout));

    // An item size that runs past the end.
    CBlock overrun;
    overrun.Uint32(1);
    overrun.Uint32(12);
    overrun.Uint32(14);
    overrun.IdList({});
    overrun.Uint16(200);
    overrun.Uint16(0);
    EXPECT_FALSE(ParseIdListArray(overrun.Bytes().data(), overrun.Size(), &layout));
}

}  // namespace
}  // namespace qmz
