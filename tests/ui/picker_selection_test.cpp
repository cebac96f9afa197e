// The picker's selection: names, the name-box text and the classic picker's buffer.
#include "ui/model/picker_selection.h"

#include <gtest/gtest.h>

#include <string>

namespace qmz {
namespace {

using namespace std::string_literals;

TEST(PickerSelectionTest, NamesPathsAndTextFollowTheSelectionOrder) {
    CPickerSelection selection;
    selection.Add(L"D:\\work\\b.txt");
    selection.Add(L"D:\\work\\sub");
    selection.Add(L"C:\\");
    selection.Add(L"D:\\work\\a b.txt");

    EXPECT_EQ(selection.Count(), 4u);
    EXPECT_EQ(selection.Paths(), (std::vector<std::wstring>{L"D:\\work\\b.txt", L"D:\\work\\sub",
                                                            L"C:\\", L"D:\\work\\a b.txt"}));
    // A drive root has no last part: its name is the whole path.
    EXPECT_EQ(selection.Names(),
              (std::vector<std::wstring>{L"b.txt", L"sub", L"C:\\", L"a b.txt"}));
    EXPECT_EQ(selection.EditText(), L"\"b.txt\" \"sub\" \"C:\\\" \"a b.txt\" ");

    selection.Clear();
    EXPECT_EQ(selection.Count(), 0u);
    EXPECT_TRUE(selection.Names().empty());
    EXPECT_EQ(selection.EditText(), L"");
    selection.Add(L"sub");
    EXPECT_EQ(selection.EditText(), L"\"sub\" ");
}

TEST(PickerSelectionTest, TheClassicBufferHoldsTheFolderAndEachNameBetweenNuls) {
    CPickerSelection selection;
    EXPECT_EQ(selection.FileBuffer(L"D:\\work"), L"D:\\work\0\0"s);
    EXPECT_EQ(selection.FileBufferCapacity(L"D:\\work"), 261u);

    selection.Add(L"D:\\work\\a.txt");
    selection.Add(L"D:\\work\\sub");
    EXPECT_EQ(selection.FileBuffer(L"D:\\work"), L"D:\\work\0a.txt\0sub\0\0"s);
    EXPECT_EQ(selection.FileBufferCapacity(L"D:\\work"), 2u * 260u + 261u);

    // Names longer than the usual limit still fit.
    CPickerSelection longNames;
    longNames.Add(L"D:\\" + std::wstring(600, L'x'));
    EXPECT_EQ(longNames.FileBufferCapacity(L"D:\\"), longNames.FileBuffer(L"D:\\").size());
    EXPECT_GE(longNames.FileBuffer(L"D:\\").size(), 600u + 6u);
}

TEST(PickerSelectionTest, TheFilterShowsTheTextBeforeItsFirstBar) {
    EXPECT_EQ(FilterDisplayName(L"すべてのファイル (*.*)|*.*||"), L"すべてのファイル (*.*)");
    EXPECT_EQ(FilterDisplayName(L"no bar"), L"no bar");
    EXPECT_EQ(FilterDisplayName(L""), L"");
}

}  // namespace
}  // namespace qmz
