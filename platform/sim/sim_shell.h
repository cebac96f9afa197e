// The shell seam for tests: folders, variables and the account as the test sets them, a
// history store whose result the test picks, a record of every change notice, and Recycle
// Bins that are folders of an attached file system.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
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
    uint32_t CurrentUserSid(std::wstring* sid) override;
    // True for a folder registered as a bin that exists in the attached file system.
    bool IsRecycleBinFolder(const std::wstring& path) override;
    // The files, at any depth, inside the registered bins on the volume with root `root`
    // (each bin's volume as the file system's GetVolumePath names it).
    int32_t QueryRecycleBin(const std::wstring& root, uint64_t* items) override;
    // Recorded; removes nothing.
    int32_t EmptyRecycleBin(const std::wstring& root) override;

    // Set-up: a folder left unset resolves to nothing, as an unknown CSIDL does.
    void SetFolder(int32_t csidl, FolderOwner owner, const std::wstring& path);
    void SetVariable(const std::wstring& name, const std::wstring& value);
    void SetUserName(const std::wstring& name);
    void SetClearUrlHistoryResult(int32_t result);
    void SetUserSid(const std::wstring& sid);
    // A non-zero error makes CurrentUserSid fail with it.
    void SetUserSidError(uint32_t error);
    // The file system the Recycle Bin calls look into; it must outlive its use here.
    void AttachFileSystem(IFileSystem* fileSystem);
    // A folder the shell identifies as a Recycle Bin ("C:\$Recycle.Bin\S-1-5-21-...").
    void AddRecycleBinFolder(const std::wstring& path);
    // Non-zero HRESULTs make QueryRecycleBin or EmptyRecycleBin fail with them.
    void SetQueryRecycleBinResult(int32_t result);
    void SetEmptyRecycleBinResult(int32_t result);

    // Inspection.
    uint32_t ClearUrlHistoryCalls() const;
    std::vector<SimShellNotice> Notices() const;
    // The roots EmptyRecycleBin was called for, in order.
    std::vector<std::wstring> EmptiedRecycleBins() const;

private:
    mutable std::mutex m_mutex;
    std::map<std::pair<int32_t, FolderOwner>, std::wstring> m_folders;
    std::map<std::wstring, std::wstring> m_variables;  // by upper-cased name
    std::wstring m_userName;
    int32_t m_clearResult = 0;
    uint32_t m_clearCalls = 0;
    std::vector<SimShellNotice> m_notices;
    std::wstring m_userSid = L"S-1-5-21-1004336348-1177238915-682003330-1000";
    uint32_t m_userSidError = 0;
    IFileSystem* m_fileSystem = nullptr;
    std::vector<std::wstring> m_binFolders;
    int32_t m_queryResult = 0;
    int32_t m_emptyResult = 0;
    std::vector<std::wstring> m_emptied;
};

}  // namespace qmz
