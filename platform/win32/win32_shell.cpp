#include "platform/win32/win32_shell.h"

// clang-format off
#include <objbase.h>
#include <shlobj.h>
#include <shlguid.h>
#include <urlhist.h>
#define SECURITY_WIN32
#include <security.h>
// clang-format on

#include <memory>
#include <vector>

#include "platform/win32/com_scope.h"

namespace qmz {
namespace {

// The seam's buffer for a variable: a longer value reads as missing.
constexpr DWORD kVariableBufferChars = 260;

UINT ChangeEvent(ShellChange change) {
    switch (change) {
        case ShellChange::kFolderRemoved:
            return SHCNE_RMDIR;
        case ShellChange::kFolderUpdated:
            return SHCNE_UPDATEDIR;
        case ShellChange::kDeleted:
            break;
    }
    return SHCNE_DELETE;
}

}  // namespace

std::wstring CWin32Shell::SpecialFolderPath(int32_t csidl, FolderOwner owner) {
    wchar_t buffer[MAX_PATH] = {};
    const int folder = csidl | kCsidlLookupFlags;
    bool found = false;
    if (owner == FolderOwner::kDefaultUser) {
        // A token of -1 asks for the default user's profile instead of the caller's.
        found = SUCCEEDED(SHGetFolderPathW(nullptr, folder, reinterpret_cast<HANDLE>(-1),
                                           SHGFP_TYPE_CURRENT, buffer));
    } else {
        found = SHGetSpecialFolderPathW(nullptr, buffer, folder, FALSE) != FALSE;
    }
    buffer[MAX_PATH - 1] = L'\0';
    return found ? std::wstring(buffer) : std::wstring();
}

std::wstring CWin32Shell::EnvironmentVariable(const std::wstring& name) {
    wchar_t buffer[kVariableBufferChars] = {};
    const DWORD length = GetEnvironmentVariableW(name.c_str(), buffer, kVariableBufferChars);
    // Too long a value reports the size it needs, which is never below the buffer's.
    if (length == 0 || length >= kVariableBufferChars) {
        return std::wstring();
    }
    return std::wstring(buffer, length);
}

std::wstring CWin32Shell::UserName() {
    std::vector<wchar_t> buffer(256);
    ULONG size = static_cast<ULONG>(buffer.size());
    if (!GetUserNameExW(NameSamCompatible, buffer.data(), &size)) {
        if (GetLastError() != ERROR_MORE_DATA || size == 0) {
            return std::wstring();
        }
        buffer.resize(size);
        if (!GetUserNameExW(NameSamCompatible, buffer.data(), &size)) {
            return std::wstring();
        }
    }
    return std::wstring(buffer.data(), size);
}

int32_t CWin32Shell::ClearUrlHistory() {
    CComScope com;
    if (FAILED(com.Result())) {
        return com.Result();
    }
    IUrlHistoryStg2* raw = nullptr;
    HRESULT result = CoCreateInstance(CLSID_CUrlHistory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IUrlHistoryStg2, reinterpret_cast<void**>(&raw));
    if (FAILED(result)) {
        return result;
    }
    // Released before the apartment above ends.
    std::unique_ptr<IUrlHistoryStg2, ComRelease> history(raw);
    return history->ClearHistory();
}

void CWin32Shell::NotifyChange(ShellChange change, const std::wstring& path) {
    SHChangeNotify(static_cast<LONG>(ChangeEvent(change)), SHCNF_PATHW, path.c_str(), nullptr);
}

}  // namespace qmz
