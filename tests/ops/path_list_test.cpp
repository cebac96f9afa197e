// Request lines split into paths: quoting, the COM activation switch, and the ends of
// the line, where a scan that runs one character too far reads past the string.
#include "ops/path_list.h"

#include <gtest/gtest.h>

namespace qmz {
namespace {

struct PathListCase {
    const char* what;
    std::wstring text;
    std::vector<std::wstring> paths;
};

TEST(PathList, SplitsRequestLinesIntoPaths) {
    const PathListCase cases[] = {
        {"activation switch, quoted path with a space, final unquoted path",
         L"-embedding \"C:\\a b\\c.txt\" D:\\x",
         {L"C:\\a b\\c.txt", L"D:\\x"}},
        {"slash form of the switch in capitals",
         L"/EMBEDDING C:\\one  C:\\two",
         {L"C:\\one", L"C:\\two"}},
        {"the switch only counts at the start", L"C:\\x -embedding", {L"C:\\x", L"-embedding"}},
        {"one-character tokens are no paths", L"a C:\\kept / \"b\" -", {L"C:\\kept"}},
        {"an empty quoted token is kept", L"\"\" C:\\y", {L"", L"C:\\y"}},
        {"a quote that never closes ends the list",
         L"C:\\first \"C:\\open ended C:\\z",
         {L"C:\\first"}},
        {"a quoted path runs to the next quote, the rest goes on",
         L"\"C:\\q\"C:\\r",
         {L"C:\\q", L"C:\\r"}},
        // Each text is allocated at its exact length: under the address sanitizer a scan
        // that steps past an unquoted path ending the string reads outside it.
        {"unquoted final path ending the string",
         L"C:\\last\\of\\the\\line",
         {L"C:\\last\\of\\the\\line"}},
        {"one character ending the string", L"C:\\x y", {L"C:\\x"}},
        {"the switch alone", L"-Embedding", {}},
        {"only spaces", L"    ", {}},
        {"empty", L"", {}},
    };
    for (const PathListCase& c : cases) {
        EXPECT_EQ(ParsePathList(c.text), c.paths) << c.what;
    }
}

}  // namespace
}  // namespace qmz
