// Comparisons of paths and words as Windows compares them: without regard to case.
#pragma once

#include <cstddef>
#include <cwctype>
#include <string>

namespace qmz {

inline bool SameCharNoCase(wchar_t a, wchar_t b) {
    return std::towupper(static_cast<wint_t>(a)) == std::towupper(static_cast<wint_t>(b));
}

// Whether `text` holds `prefix` at `offset`, letter case aside.
inline bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix,
                             size_t offset = 0) {
    if (offset > text.size() || text.size() - offset < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (!SameCharNoCase(text[offset + i], prefix[i])) {
            return false;
        }
    }
    return true;
}

inline bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

}  // namespace qmz
