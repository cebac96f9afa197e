// An owned BSTR.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <oleauto.h>

#include <string>

namespace qmz {

class CBstr {
public:
    CBstr() = default;
    explicit CBstr(const std::wstring& text)
        : m_text(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~CBstr() { SysFreeString(m_text); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;

    BSTR Get() const { return m_text; }
    BSTR* Receive() {
        SysFreeString(m_text);
        m_text = nullptr;
        return &m_text;
    }
    // The text, embedded nulls included; empty for a null BSTR.
    static std::wstring ToString(BSTR text) {
        return text == nullptr ? std::wstring() : std::wstring(text, SysStringLen(text));
    }

private:
    BSTR m_text = nullptr;
};

}  // namespace qmz
