// The shell seam on the real system: shell32 folders, the process environment, secur32's
// account name, the process token's SID, the browser's history store over COM, Explorer's
// change notices and shell32's Recycle Bin.
#pragma once

#include <windows.h>

#include "platform/shell.h"

namespace qmz {

class CWin32Shell : public IShell {
public:
    std::wstring SpecialFolderPath(int32_t csidl, FolderOwner owner) override;
    std::wstring EnvironmentVariable(const std::wstring& name) override;
    std::wstring UserName() override;
    int32_t ClearUrlHistory() override;
    void NotifyChange(ShellChange change, const std::wstring& path) override;
    // The account SID and the Recycle Bin calls (win32_shell_recycle_bin.cpp).
    uint32_t CurrentUserSid(std::wstring* sid) override;
    bool IsRecycleBinFolder(const std::wstring& path) override;
    int32_t QueryRecycleBin(const std::wstring& root, uint64_t* items) override;
    int32_t EmptyRecycleBin(const std::wstring& root) override;
};

}  // namespace qmz
