#include "engine/erase_requests.h"

#include <utility>

#include "engine/browser_erase.h"
#include "engine/erase_operations.h"
#include "engine/path_helpers.h"
#include "engine/volume_erase.h"
#include "ops/erase_coordinator.h"
#include "ops/no_case.h"
#include "ops/path_list.h"

namespace qmz {
namespace {

// GetVolumeNameForVolumeMountPointW answers for volume roots and mount points only.
bool IsVolumeRootOrMountPoint(IFileSystem* fileSystem, const std::wstring& folder) {
    std::wstring volumeName;
    return fileSystem->GetVolumeNameForMountPoint(WithTrailingBackslash(folder), &volumeName) ==
           ERROR_SUCCESS;
}

// "C:\": a drive root even where the volume query does not answer (network and
// substituted drives).
bool IsDriveRootName(const std::wstring& path) {
    return path.size() == 3 && path[1] == L':' && path[2] == L'\\';
}

template <class T>
std::unique_ptr<CEraseOperationBase> Make(const std::wstring& path) {
    auto operation = std::make_unique<T>();
    operation->m_path = path;
    return operation;
}

}  // namespace

bool IsProtectedFolder(IFileSystem* fileSystem, const KnownFolderTable& folders,
                       std::wstring path) {
    // Compared as the erase will reach it: "C:/Users/ann/Desktop" or "...\Desktop\."
    // names the desktop just as well.
    path = CanonicalPath(path);
    while (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    if (IsVolumeRootOrMountPoint(fileSystem, path)) {
        return true;
    }
    if (!folders.windows.empty() && StartsWithNoCase(path, folders.windows)) {
        return true;
    }
    for (const std::wstring* entry : folders.ProtectedEntries()) {
        if (!entry->empty() && EqualsNoCase(path, *entry)) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<CEraseOperationBase> OperationForPath(IFileSystem* fileSystem,
                                                      const KnownFolderTable& folders,
                                                      const std::wstring& path) {
    uint32_t attributes = 0;
    if (fileSystem->GetAttributes(path, &attributes) != ERROR_SUCCESS ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return Make<CEraseFile>(path);
    }
    // A mount point is a reparse point too, but it stands for a whole volume: empty it.
    if (IsVolumeRootOrMountPoint(fileSystem, path)) {
        return Make<CEraseContentsOfFolder>(path);
    }
    // A junction or folder link goes, never what it leads to.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return Make<CEraseFolderOnly>(path);
    }
    if (IsProtectedFolder(fileSystem, folders, path) || IsDriveRootName(CanonicalPath(path))) {
        return Make<CEraseContentsOfFolder>(path);
    }
    return Make<CEraseFolderAndContents>(path);
}

CRequestFactory::CRequestFactory(const PlatformServices* platform, KnownFolderTable folders)
    : m_platform(platform), m_folders(std::move(folders)) {
    if (m_platform->shell != nullptr) {
        m_userName = m_platform->shell->UserName();
    }
}

void CRequestFactory::ApplyDefaults(CEraseOperationBase* operation) const {
    operation->m_method = m_method;
    operation->m_includeSuperHidden = m_includeSuperHidden;
    operation->m_userName = m_userName;
}

std::unique_ptr<CEraseOperationBase> CRequestFactory::ForPath(const std::wstring& path) const {
    std::unique_ptr<CEraseOperationBase> operation =
        OperationForPath(m_platform->fileSystem, m_folders, path);
    ApplyDefaults(operation.get());
    return operation;
}

OperationList CRequestFactory::ForPathList(const std::wstring& text) const {
    OperationList operations;
    for (const std::wstring& path : ParsePathList(text)) {
        operations.push_back(ForPath(path));
    }
    return operations;
}

template <class TBrowserErase>
std::unique_ptr<CEraseOperationBase> CRequestFactory::ForBrowserFolder(
    const std::wstring& path) const {
    auto operation = std::make_unique<TBrowserErase>();
    operation->m_path = path;
    operation->m_enabled = 1;
    ApplyDefaults(operation.get());
    return operation;
}

std::unique_ptr<CEraseOperationBase> CRequestFactory::ForInternetHistory() const {
    return ForBrowserFolder<CEraseInternetHistory>(m_folders.history);
}

std::unique_ptr<CEraseOperationBase> CRequestFactory::ForInternetTemp() const {
    return ForBrowserFolder<CEraseInternetTemp>(m_folders.internetCache);
}

std::unique_ptr<CEraseOperationBase> CRequestFactory::ForInternetCookies() const {
    return ForBrowserFolder<CEraseInternetCookies>(m_folders.cookies);
}

template <class TVolumeErase>
OperationList CRequestFactory::ForRoots(const std::wstring& text) const {
    OperationList operations;
    for (const std::wstring& path : ParsePathList(text)) {
        auto operation = std::make_unique<TVolumeErase>();
        operation->m_path = path;
        ApplyDefaults(operation.get());
        operations.push_back(std::move(operation));
    }
    return operations;
}

OperationList CRequestFactory::ForFreeSpace(const std::wstring& text) const {
    return ForRoots<CEraseFreeSpace>(text);
}

OperationList CRequestFactory::ForEntirePartitions(const std::wstring& text) const {
    return ForRoots<CEraseEntirePartition>(text);
}

std::unique_ptr<CEraseOperationBase> CRequestFactory::ForRecycleBin(const std::wstring& displayName,
                                                                    int32_t allUsers) const {
    auto operation = std::make_unique<CEraseRecycleBin>();
    operation->m_path = displayName;
    ApplyDefaults(operation.get());
    operation->m_includeSuperHidden = 1;
    operation->m_allUsers = allUsers;
    return operation;
}

OperationList CRequestFactory::ForWindowsTemp() const {
    OperationList operations;
    auto add = [&](const std::wstring& folder) {
        auto operation = std::make_unique<CEraseWindowsTemp>();
        operation->m_path = folder;
        ApplyDefaults(operation.get());
        // Temporary files are erased whatever their attributes.
        operation->m_includeSuperHidden = 1;
        operations.push_back(std::move(operation));
    };
    if (!m_folders.temp.empty()) {
        add(m_folders.temp);
    }
    if (!m_folders.tmp.empty() && !EqualsNoCase(m_folders.tmp, m_folders.temp)) {
        add(m_folders.tmp);
    }
    return operations;
}

int32_t AddAll(CEraseCoordinator* coordinator, OperationList&& operations) {
    int32_t first = -1;
    for (std::unique_ptr<CEraseOperationBase>& operation : operations) {
        const int32_t row = coordinator->AddRequest(std::move(operation));
        if (first < 0) {
            first = row;
        }
    }
    operations.clear();
    return first;
}

}  // namespace qmz
