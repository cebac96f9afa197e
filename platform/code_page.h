// The user's ANSI code page, in which text files meant for the user (the erase log) are
// written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win_types.h"

#if !defined(_WINDOWS_) && !defined(_INC_WINDOWS)
constexpr uint32_t ERROR_NO_UNICODE_TRANSLATION = 1113;
#endif

namespace qmz {

// The code point that starts at `text[index]`, and how many units it takes: two for a
// surrogate pair (Windows' 16-bit wchar_t), else one (a lone surrogate stands for itself).
inline size_t CodePointAt(const std::wstring& text, size_t index, uint32_t* codePoint) {
    const uint32_t unit = static_cast<uint32_t>(text[index]);
    if (unit >= 0xD800 && unit <= 0xDBFF && index + 1 < text.size()) {
        const uint32_t low = static_cast<uint32_t>(text[index + 1]);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            *codePoint = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            return 2;
        }
    }
    *codePoint = unit;
    return 1;
}

class ICodePage {
public:
    virtual ~ICodePage() = default;
    // WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS): `text` in the code page's bytes.
    // ERROR_NO_UNICODE_TRANSLATION, with `bytes` empty, when some character of `text` has no
    // exact form there (no look-alike stands in for it).
    virtual uint32_t ToAnsi(const std::wstring& text, std::string* bytes) = 0;
};

}  // namespace qmz
