#include "ui/win/resource_texts.h"

namespace qmz {

std::wstring LoadResourceString(HMODULE module, uint32_t id) {
    // With a zero buffer size LoadStringW hands out the resource text in place.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
}

void ShowInternalError(HWND owner, const std::wstring& prefix, const std::wstring& title,
                       const std::wstring& detail) {
    MessageBoxW(owner, (prefix + detail).c_str(), title.c_str(), MB_ICONERROR | MB_OK);
}

}  // namespace qmz
