// Texts and pictures from the language resource module (the language DLL or the program).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace qmz {

// The text of string `id` in `module`; empty when it has none.
std::wstring LoadResourceString(HMODULE module, uint32_t id);

// Internal diagnostics: the error prefix and the failing step, caption the title.
void ShowInternalError(HWND owner, const std::wstring& prefix, const std::wstring& title,
                       const std::wstring& detail);

}  // namespace qmz
