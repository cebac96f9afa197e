// Length limits of Windows count UTF-16 units; natively wchar_t is 32 bits wide, and a
// character beyond the basic plane counts as one where Windows counts two.
#pragma once

#include <cwchar>
#include <string>

namespace qmz {

inline size_t Utf16Units(const std::wstring& text) {
#if WCHAR_MAX > 0xFFFF
    size_t units = 0;
    for (const wchar_t c : text) {
        units += static_cast<uint32_t>(c) > 0xFFFF ? 2 : 1;
    }
    return units;
#else
    return text.size();
#endif
}

}  // namespace qmz
