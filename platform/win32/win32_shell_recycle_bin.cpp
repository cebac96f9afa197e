// The real shell's account SID and Recycle Bin: the process token, and shell32 asked what a
// folder is, how full a volume's bin is, and to empty it.
#include "platform/win32/win32_shell.h"

// clang-format off
#include <objbase.h>
#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlguid.h>
// clang-format on

#include <memory>
#include <vector>

#include "platform/win32/com_scope.h"
#include "platform/win32/unique_handle.h"

namespace qmz {
namespace {

struct LocalMemoryRelease {
    void operator()(void* block) const { ::LocalFree(block); }
};

}  // namespace

uint32_t CWin32Shell::CurrentUserSid(std::wstring* sid) {
    sid->clear();
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
        return ::GetLastError();
    }
    const CProcessHandle token(rawToken);
    // The first call only says how much TOKEN_USER with its SID takes.
    DWORD bytes = 0;
    ::GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &bytes);
    if (bytes == 0) {
        return ::GetLastError();
    }
    std::vector<BYTE> buffer(bytes);
    if (!::GetTokenInformation(token.Get(), TokenUser, buffer.data(), bytes, &bytes)) {
        return ::GetLastError();
    }
    const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
    wchar_t* rawText = nullptr;
    if (!::ConvertSidToStringSidW(user->User.Sid, &rawText)) {
        return ::GetLastError();
    }
    const std::unique_ptr<wchar_t, LocalMemoryRelease> text(rawText);
    *sid = text.get();
    return ERROR_SUCCESS;
}

bool CWin32Shell::IsRecycleBinFolder(const std::wstring& path) {
    CComScope com;
    if (FAILED(com.Result()) && com.Result() != RPC_E_CHANGED_MODE) {
        return false;
    }
    PIDLIST_ABSOLUTE rawList = nullptr;
    if (FAILED(::SHParseDisplayName(path.c_str(), nullptr, &rawList, 0, nullptr))) {
        return false;
    }
    // Freed and released before the apartment above ends.
    const std::unique_ptr<ITEMIDLIST_ABSOLUTE, CoTaskMemRelease> list(rawList);
    IShellFolder* rawParent = nullptr;
    PCUITEMID_CHILD child = nullptr;
    if (FAILED(::SHBindToParent(list.get(), IID_IShellFolder, reinterpret_cast<void**>(&rawParent),
                                &child))) {
        return false;
    }
    const std::unique_ptr<IShellFolder, ComRelease> parent(rawParent);
    SHDESCRIPTIONID description = {};
    if (FAILED(::SHGetDataFromIDListW(parent.get(), child, SHGDFIL_DESCRIPTIONID, &description,
                                      sizeof(description)))) {
        return false;
    }
    return IsEqualCLSID(description.clsid, CLSID_RecycleBin) != FALSE;
}

int32_t CWin32Shell::QueryRecycleBin(const std::wstring& root, uint64_t* items) {
    SHQUERYRBINFO info = {};
    info.cbSize = sizeof(info);
    const HRESULT result = ::SHQueryRecycleBinW(root.c_str(), &info);
    *items = SUCCEEDED(result) ? static_cast<uint64_t>(info.i64NumItems) : 0;
    return result;
}

int32_t CWin32Shell::EmptyRecycleBin(const std::wstring& root) {
    return ::SHEmptyRecycleBinW(nullptr, root.c_str(),
                                SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

}  // namespace qmz
