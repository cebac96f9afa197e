// Requests turned into erase operations: which operation a chosen path gets, which
// folders may only be emptied, never removed, and the defaults every new request
// carries. The caller hands what is made here to CEraseCoordinator::AddRequest.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/known_folders.h"
#include "ops/method_entry.h"
#include "ops/operation.h"
#include "platform/file_system.h"
#include "platform/platform_services.h"

namespace qmz {

class CEraseCoordinator;

using OperationList = std::vector<std::unique_ptr<CEraseOperationBase>>;

// Whether `path` (trailing backslashes ignored) is a volume root or mount point, lies
// in the Windows folder, or is one of the table's protected folders.
bool IsProtectedFolder(IFileSystem* fileSystem, const KnownFolderTable& folders, std::wstring path);

// The operation a chosen path gets: a file (or anything that cannot be examined) is
// erased as a file; a junction or other reparse folder is removed without following
// it; volume roots, mount points and protected folders are emptied; any other folder
// is erased with everything in it. m_path is `path` as given.
std::unique_ptr<CEraseOperationBase> OperationForPath(IFileSystem* fileSystem,
                                                      const KnownFolderTable& folders,
                                                      const std::wstring& path);

// Makes the operations of requests, each with the current defaults: the effective
// method, the super-hidden choice and the requesting account.
class CRequestFactory {
public:
    // `platform` outlives the factory; the account name is read from its shell here.
    CRequestFactory(const PlatformServices* platform, KnownFolderTable folders);

    // The effective method of the settings; it changes when the settings do.
    void SetMethod(const MethodEntry* method) { m_method = method; }
    void SetIncludeSuperHidden(int32_t include) { m_includeSuperHidden = include; }
    const std::wstring& UserName() const { return m_userName; }

    std::unique_ptr<CEraseOperationBase> ForPath(const std::wstring& path) const;
    // One operation per path of a request line (see ParsePathList), in order.
    OperationList ForPathList(const std::wstring& text) const;
    std::unique_ptr<CEraseOperationBase> ForInternetHistory() const;
    std::unique_ptr<CEraseOperationBase> ForInternetTemp() const;
    std::unique_ptr<CEraseOperationBase> ForInternetCookies() const;
    // TEMP, and TMP when it names another folder; none for a variable that is unset.
    OperationList ForWindowsTemp() const;
    // One free-space or whole-volume erase per path of a request line, the path as given.
    OperationList ForFreeSpace(const std::wstring& text) const;
    OperationList ForEntirePartitions(const std::wstring& text) const;
    // The Recycle Bin, shown under `displayName`; of every user when `allUsers` is 1.
    std::unique_ptr<CEraseOperationBase> ForRecycleBin(const std::wstring& displayName,
                                                       int32_t allUsers) const;

private:
    void ApplyDefaults(CEraseOperationBase* operation) const;
    template <class TVolumeErase>
    OperationList ForRoots(const std::wstring& text) const;
    template <class TBrowserErase>
    std::unique_ptr<CEraseOperationBase> ForBrowserFolder(const std::wstring& path) const;

    const PlatformServices* m_platform;
    KnownFolderTable m_folders;
    const MethodEntry* m_method = nullptr;
    int32_t m_includeSuperHidden = 1;
    std::wstring m_userName;
};

// Adds every operation as a row awaiting confirmation; returns the first new row, or
// -1 when there was none.
int32_t AddAll(CEraseCoordinator* coordinator, OperationList&& operations);

}  // namespace qmz
