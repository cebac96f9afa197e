// What a test needs to stand in for Explorer: the DLL registered as regsvr32 does it, data
// objects the shell makes for real paths, the handlers created by class id, and the menus
// they build.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <shlobj.h>

#include <string>
#include <vector>

#include "com/com_ptr.h"

namespace qmz::shx {

// The DLL under test, as the prefix names it; set by main.
std::wstring& DllPath();

// regsvr32 /s (with /u to unregister) on the DLL, in its own process; its exit code.
DWORD RunRegsvr32(bool unregister);

// The data object the shell makes for `paths`, which lie in one folder (or are drive
// roots), as Explorer hands it to a handler.
CComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths);

// A handler made as Explorer makes it: CoCreateInstance of its registered class id.
CComPtr<IContextMenu> CreateHandler(const wchar_t* classId);

struct MenuItem {
    UINT id;
    std::wstring text;
    bool operator==(const MenuItem& other) const { return id == other.id && text == other.text; }
};

// A popup menu that QueryContextMenu fills from identifier kFirstId; destroyed with it.
class CHostMenu {
public:
    static constexpr UINT kFirstId = 100;
    CHostMenu() : m_menu(CreatePopupMenu()) {}
    ~CHostMenu() { DestroyMenu(m_menu); }
    CHostMenu(const CHostMenu&) = delete;
    CHostMenu& operator=(const CHostMenu&) = delete;

    // QueryContextMenu at position 0; its result.
    HRESULT Fill(IContextMenu* handler, UINT flags = CMF_NORMAL);
    std::vector<MenuItem> Items() const;

private:
    HMENU m_menu;
};

// InvokeCommand with a numeric verb, or with a verb string.
HRESULT Invoke(IContextMenu* handler, UINT verb);
HRESULT Invoke(IContextMenu* handler, const std::string& verb);

// `text` in the ANSI code page (932 under the Japanese locale).
std::string Ansi(const std::wstring& text);

}  // namespace qmz::shx
