// Typed reading and writing of the two value kinds the product stores: REG_DWORD and REG_SZ.
// Readers are strict: anything that is not exactly the expected shape is "no value", so a
// damaged or hostile entry falls back to the caller's default instead of being guessed at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace qmz {

// Longest string accepted (the Windows long-path limit); longer values read as missing.
constexpr size_t kMaxRegistryStringChars = 32767;

// UTF-16LE bytes of text, surrogate pairs built where wchar_t is 32 bits wide.
inline void AppendUtf16(std::vector<uint8_t>* bytes, const std::wstring& text) {
    auto put = [bytes](uint32_t unit) {
        bytes->push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes->push_back(static_cast<uint8_t>((unit >> 8) & 0xFF));
    };
    for (wchar_t c : text) {
        uint32_t code = static_cast<uint32_t>(c);
        if (code > 0xFFFF) {
            code -= 0x10000;
            put(0xD800 + (code >> 10));
            put(0xDC00 + (code & 0x3FF));
        } else {
            put(code);
        }
    }
}

inline uint32_t SetDwordValue(IRegistryKey& key, const std::wstring& name, uint32_t value) {
    std::vector<uint8_t> data(4);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(value >> (8 * i));
    }
    return key.SetValue(name, REG_DWORD, data);
}

// Stored with its terminator, as RegSetValueExW callers are told to.
inline uint32_t SetStringValue(IRegistryKey& key, const std::wstring& name,
                               const std::wstring& value) {
    std::vector<uint8_t> data;
    data.reserve((value.size() + 1) * 2);
    AppendUtf16(&data, value);
    data.push_back(0);
    data.push_back(0);
    return key.SetValue(name, REG_SZ, data);
}

// A REG_DWORD of exactly four bytes, as a signed 32-bit integer.
inline bool ReadDwordValue(IRegistryKey& key, const std::wstring& name, int32_t* value) {
    RegistryValue raw;
    if (key.QueryValue(name, 4, &raw) != ERROR_SUCCESS || raw.type != REG_DWORD ||
        raw.data.size() != 4) {
        return false;
    }
    uint32_t bits = 0;
    for (size_t i = 0; i < 4; ++i) {
        bits |= static_cast<uint32_t>(raw.data[i]) << (8 * i);
    }
    *value = static_cast<int32_t>(bits);
    return true;
}

// A REG_SZ of whole UTF-16 units; the text ends at the first terminator or, since other
// tools may store it without one, at the end of the data. No data at all is no value.
inline bool ReadStringValue(IRegistryKey& key, const std::wstring& name, std::wstring* value) {
    RegistryValue raw;
    if (key.QueryValue(name, (kMaxRegistryStringChars + 1) * 2, &raw) != ERROR_SUCCESS ||
        raw.type != REG_SZ || raw.data.size() % 2 != 0 || raw.data.empty()) {
        return false;
    }
    std::wstring text;
    for (size_t i = 0; i + 1 < raw.data.size(); i += 2) {
        uint32_t unit = raw.data[i] | (static_cast<uint32_t>(raw.data[i + 1]) << 8);
        if (unit == 0) {
            *value = std::move(text);
            return true;
        }
        bool lowFollows = i + 3 < raw.data.size() &&
                          (raw.data[i + 3] & 0xFC) == 0xDC;  // next unit is a low surrogate
        if (sizeof(wchar_t) == 4 && (unit & 0xFC00) == 0xD800 && lowFollows) {
            uint32_t low = raw.data[i + 2] | (static_cast<uint32_t>(raw.data[i + 3]) << 8);
            text.push_back(
                static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
            i += 2;
        } else {
            text.push_back(static_cast<wchar_t>(unit));
        }
    }
    *value = std::move(text);
    return true;
}

}  // namespace qmz
