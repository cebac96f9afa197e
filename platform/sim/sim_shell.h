// The shell seam for tests: folders, variables and the account name as the test sets them,
// a history store whose result the test picks, and a record of every change notice.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/shell.h"

namespace qmz {

struct SimShellNotice {
    ShellChange change = ShellChange::kDeleted;
    std::wstring path;
};

class CSimShell : public IShell {
public:
    std::wstring SpecialFolderPath(int32_t csidl, FolderOwner owner) override;
    // Like GetEnvironmentVariableW: names ignore case, and a value of 260 characters or
    // more reads as missing.
    std::wstring EnvironmentVariable(const std::wstring& name) override;
    std::wstring UserName() override;
    int32_t ClearUrlHistory() override;
    void NotifyChange(ShellChange change, const std::wstring& path) override;

    // Set-up: a folder left unset resolves to nothing, as an unknown CSIDL does.
    void SetFolder(int32_t csidl, FolderOwner owner, const std::wstring& path);
    void SetVariable(const std::wstring& name, const std::wstring& value);
    void SetUserName(const std::wstring& name);
    void SetClearUrlHistoryResult(int32_t result);

    // Inspection.
    uint32_t ClearUrlHistoryCalls() const;
    std::vector<SimShellNotice> Notices() const;

private:
    mutable std::mutex m_mutex;
    std::map<std::pair<int32_t, FolderOwner>, std::wstring> m_folders;
    std::map<std::wstring, std::wstring> m_variables;  // by upper-cased name
    std::wstring m_userName;
    int32_t m_clearResult = 0;
    uint32_t m_clearCalls = 0;
    std::vector<SimShellNotice> m_notices;
};

}  // namespace qmz
