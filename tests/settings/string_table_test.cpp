#include "settings/string_table.h"

#include <gtest/gtest.h>

namespace qmz {
namespace {

TEST(StringTable, KnownIdsHaveTheirTexts) {
    EXPECT_EQ(BuiltinString(kIdsApplicationTitle), L"ヌルベイン Z 4");
    EXPECT_EQ(BuiltinString(126), L"中止済み");
    // The prefix ends with a label that the details follow; the line breaks are real.
    std::wstring prefix = BuiltinString(kIdsErrorMessagePrefix);
    EXPECT_EQ(prefix.find(L'\n'), prefix.find(L"\n弊社"));
    EXPECT_EQ(prefix.substr(prefix.size() - 4), L"詳細： ");
}

TEST(StringTable, UnknownIdIsEmpty) {
    EXPECT_TRUE(BuiltinString(0).empty());
    EXPECT_TRUE(BuiltinString(99999).empty());
}

}  // namespace
}  // namespace qmz
