#include "settings/string_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "resources/string_ids.h"

namespace qmz {
namespace {

TEST(StringTable, KnownIdsHaveTheirTexts) {
    EXPECT_EQ(BuiltinString(IDS_APPLICATION_TITLE), L"ヌルベイン Z 4");
    EXPECT_EQ(BuiltinString(IDS_STATUS_ABORTED), L"中止済み");
    // The prefix ends with a label that the details follow; the line breaks are real.
    std::wstring prefix = BuiltinString(IDS_ERROR_MESSAGE_PREFIX);
    EXPECT_EQ(prefix.find(L'\n'), prefix.find(L"\n弊社"));
    EXPECT_EQ(prefix.substr(prefix.size() - 4), L"詳細： ");
}

TEST(StringTable, UnknownIdIsEmpty) {
    EXPECT_TRUE(BuiltinString(0).empty());
    EXPECT_TRUE(BuiltinString(99999).empty());
}

// Two names on one number would both get the first one's text, and an empty text reads
// as a missing string wherever it is loaded.
TEST(StringTable, EveryNamedIdIsUniqueAndHasText) {
#define STR(id, text) id,
    const std::vector<uint32_t> ids = {
#include "resources/strings.inc"
    };
#undef STR
    ASSERT_FALSE(ids.empty());
    std::vector<uint32_t> sorted = ids;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 1; i < sorted.size(); ++i) {
        EXPECT_NE(sorted[i - 1], sorted[i]) << "two strings share a number";
    }
    for (uint32_t id : ids) {
        EXPECT_FALSE(BuiltinString(id).empty()) << id;
    }
}

}  // namespace
}  // namespace qmz
