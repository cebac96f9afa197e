#include "ops/path_list.h"

#include "ops/no_case.h"

namespace qmz {
namespace {

constexpr size_t kSwitchLength = 10;  // "-embedding"

bool StartsWithEmbeddingSwitch(const std::wstring& text) {
    return !text.empty() && (text[0] == L'-' || text[0] == L'/') &&
           StartsWithNoCase(text, L"embedding", 1);
}

}  // namespace

std::vector<std::wstring> ParsePathList(const std::wstring& text) {
    std::vector<std::wstring> paths;
    const size_t size = text.size();
    // Every index below stays within [0, size]: an unquoted path that ends the string
    // ends the scan, and nothing is read at or past size().
    size_t pos = StartsWithEmbeddingSwitch(text) ? kSwitchLength : 0;
    while (true) {
        while (pos < size && text[pos] == L' ') {
            ++pos;
        }
        if (pos == size) {
            break;
        }
        size_t begin = pos;
        size_t end = 0;
        if (text[pos] == L'"') {
            begin = pos + 1;
            const size_t quote = text.find(L'"', begin);
            if (quote == std::wstring::npos) {
                break;  // unterminated: nothing after it can be trusted as a path
            }
            end = quote;
            pos = quote + 1;
        } else {
            const size_t space = text.find(L' ', begin);
            end = space == std::wstring::npos ? size : space;
            pos = end;
        }
        if (end - begin != 1) {
            paths.push_back(text.substr(begin, end - begin));
        }
    }
    return paths;
}

}  // namespace qmz
