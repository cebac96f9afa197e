// The display text of every operation status, loaded once from the string table.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace qmz {

// String id of a status's text; 0 for a status that has none.
uint32_t StatusTextId(int32_t status);

class StatusTexts {
public:
    void Load(const std::function<std::wstring(uint32_t)>& loadString);
    // Empty for a status without text (1, or out of range).
    const std::wstring& Text(int32_t status) const;

private:
    static constexpr int32_t kCount = 9;
    std::array<std::wstring, kCount> m_texts;
    std::wstring m_none;
};

}  // namespace qmz
