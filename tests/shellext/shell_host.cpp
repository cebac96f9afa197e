#include "tests/shellext/shell_host.h"

#include "com/dispatch_call.h"

namespace qmz::shx {

std::wstring& DllPath() {
    static std::wstring path;
    return path;
}

DWORD RunRegsvr32(bool unregister) {
    std::wstring commandLine =
        std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") + L"\"" + DllPath() + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return GetLastError();
    }
    WaitForSingleObject(process.hProcess, 30000);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return exitCode;
}

CComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths) {
    std::vector<PIDLIST_ABSOLUTE> absolute;
    std::vector<PCUITEMID_CHILD> children;
    CComPtr<IShellFolder> parent;
    CComPtr<IDataObject> data;
    bool parsed = true;
    for (const std::wstring& path : paths) {
        PIDLIST_ABSOLUTE list = nullptr;
        parsed = parsed && SUCCEEDED(SHParseDisplayName(path.c_str(), nullptr, &list, 0, nullptr));
        if (list != nullptr) {
            absolute.push_back(list);
            children.push_back(ILFindLastID(list));
        }
    }
    if (parsed && !absolute.empty() &&
        SUCCEEDED(SHBindToParent(absolute[0], IID_IShellFolder, parent.ReceiveVoid(), nullptr))) {
        parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                              IID_IDataObject, nullptr, data.ReceiveVoid());
    }
    for (PIDLIST_ABSOLUTE list : absolute) {
        ILFree(list);
    }
    return data;
}

CComPtr<IContextMenu> CreateHandler(const wchar_t* classId) {
    CComPtr<IContextMenu> handler;
    CoCreateInstance(GuidFromText(classId), nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu,
                     handler.ReceiveVoid());
    return handler;
}

HRESULT CHostMenu::Fill(IContextMenu* handler, UINT flags) {
    return handler->QueryContextMenu(m_menu, 0, kFirstId, kFirstId + 99, flags);
}

std::vector<MenuItem> CHostMenu::Items() const {
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(m_menu); ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(m_menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        items.push_back(MenuItem{GetMenuItemID(m_menu, i), text});
    }
    return items;
}

HRESULT Invoke(IContextMenu* handler, UINT verb) {
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = MAKEINTRESOURCEA(verb);
    info.nShow = SW_SHOWNORMAL;
    return handler->InvokeCommand(&info);
}

HRESULT Invoke(IContextMenu* handler, const std::string& verb) {
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = verb.c_str();
    info.nShow = SW_SHOWNORMAL;
    return handler->InvokeCommand(&info);
}

std::string Ansi(const std::wstring& text) {
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), bytes, nullptr, nullptr);
    ansi.resize(ansi.size() - 1);
    return ansi;
}

}  // namespace qmz::shx
