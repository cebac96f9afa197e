// The shell seam on the real system: shell32 folders, the process environment, secur32's
// account name, the browser's history store over COM and Explorer's change notices.
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
};

}  // namespace qmz
