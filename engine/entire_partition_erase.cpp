#include "engine/entire_partition_erase.h"

#include <memory>

#include "engine/erase_operations.h"
#include "engine/file_erase.h"
#include "engine/file_streams.h"
#include "engine/free_space_erase.h"
#include "engine/named_object.h"
#include "engine/operation_platform.h"
#include "engine/path_helpers.h"
#include "ops/check_point.h"
#include "ops/no_case.h"
#include "ops/operation_queue.h"
#include "platform/utf16_units.h"
#include "platform/volume_paths.h"

namespace qmz {
namespace {

bool IsDotName(const std::wstring& name) {
    return name == L"." || name == L"..";
}

bool IsFolder(uint32_t attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Whether `root` reaches the volume Windows runs from, by whichever path it is mounted.
bool IsWindowsVolume(CEraseOperationBase* operation, IFileSystem* fileSystem,
                     const std::wstring& root) {
    IShell* shell = ShellOf(operation);
    const std::wstring windows =
        shell != nullptr ? shell->SpecialFolderPath(kCsidlWindows, FolderOwner::kCurrentUser) : L"";
    std::wstring windowsRoot;
    std::wstring windowsVolume;
    std::wstring volume;
    return !windows.empty() && fileSystem->GetVolumePath(windows, &windowsRoot) == ERROR_SUCCESS &&
           fileSystem->GetVolumeNameForMountPoint(WithTrailingBackslash(windowsRoot),
                                                  &windowsVolume) == ERROR_SUCCESS &&
           fileSystem->GetVolumeNameForMountPoint(root, &volume) == ERROR_SUCCESS &&
           EqualsNoCase(volume, windowsVolume);
}

}  // namespace

// The delete walk. What it removes must be exactly what lies on the volume: an object
// whose path leads elsewhere (a link the system does not present as one) is refused, as
// its removal would reach the target.
class CVolumeDeleter {
public:
    explicit CVolumeDeleter(CEraseEntirePartition* operation)
        : m_operation(operation), m_fileSystem(FileSystemOf(operation)) {}

    int Delete(const std::wstring& path, uint32_t removeSelf);

private:
    int DeleteFolder(const std::wstring& path, uint32_t removeSelf);
    int Entry(const FindData& entry, const std::wstring& path);
    // Removes a file, or a link or mount point as it stands.
    bool RemoveObject(const std::wstring& path, uint32_t attributes);
    bool LeadsToItself(const std::wstring& path, uint32_t attributes);
    // False after an abort, which has been reported for `folder`.
    bool Continue(const std::wstring& folder);
    int Fail(ResultRecord record, const std::wstring& path) {
        ReportItemResult(m_operation, record, path, StatusFailedOther);
        return 0;
    }

    CEraseEntirePartition* m_operation;
    CExactPathFileSystem m_fileSystem;
};

int CVolumeDeleter::Delete(const std::wstring& path, uint32_t removeSelf) {
    const size_t slash = LastSeparator(path);
    if (IsDotName(slash == std::wstring::npos ? path : path.substr(slash + 1))) {
        return 0;
    }
    FileAttributeData data;
    if (m_fileSystem.GetAttributesEx(path, &data) != ERROR_SUCCESS) {
        return 0;
    }
    if (!IsFolder(data.attributes)) {
        return RemoveObject(path, data.attributes) ? 1 : Fail(ResultRecord::kFile, path);
    }
    return DeleteFolder(path, removeSelf);
}

int CVolumeDeleter::DeleteFolder(const std::wstring& path, uint32_t removeSelf) {
    std::unique_ptr<IFindHandle> find;
    FindData entry;
    int result = 1;
    uint32_t rc = m_fileSystem.FindFirst(JoinPath(path, L"*"), &find, &entry);
    if (rc == ERROR_FILE_NOT_FOUND) {
        rc = ERROR_NO_MORE_FILES;  // nothing inside, not even "." and ".." (a root)
    } else if (rc != ERROR_SUCCESS) {
        return Fail(ResultRecord::kFolder, path);
    }
    for (; rc == ERROR_SUCCESS; rc = find->Next(&entry)) {
        if (IsDotName(entry.name)) {
            continue;
        }
        if (!Continue(path)) {
            return 0;
        }
        if (Entry(entry, JoinPath(path, entry.name)) == 0) {
            result = 0;
        }
        if (m_operation->m_abortLatched != 0) {
            return 0;
        }
    }
    find.reset();
    if (rc != ERROR_NO_MORE_FILES) {
        result = Fail(ResultRecord::kFolder, path);  // entries were left unseen
    }
    if (!Continue(path)) {
        return 0;
    }
    if (removeSelf != 0 && !RemoveObject(path, FILE_ATTRIBUTE_DIRECTORY)) {
        result = Fail(ResultRecord::kFolder, path);
    }
    return result;
}

int CVolumeDeleter::Entry(const FindData& entry, const std::wstring& path) {
    const bool folder = IsFolder(entry.attributes);
    const bool link = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!folder || link) {
        if (!RemoveObject(path, entry.attributes)) {
            return Fail(folder ? ResultRecord::kFolder : ResultRecord::kFile, path);
        }
        return 1;
    }
    // A folder that leads elsewhere is a link in disguise: entering it would delete its
    // target's contents. Past the path limit the recursion stops, and says so.
    if (!LeadsToItself(path, entry.attributes) || Utf16Units(path) > kMaxItemPathChars) {
        return Fail(ResultRecord::kFolder, path);
    }
    return Delete(path, 1);
}

bool CVolumeDeleter::RemoveObject(const std::wstring& path, uint32_t attributes) {
    if (!LeadsToItself(path, attributes)) {
        return false;
    }
    MakeWritableIfReadOnly(m_operation, &attributes, path);
    const uint32_t rc =
        IsFolder(attributes) ? m_fileSystem.RemoveFolder(path) : m_fileSystem.Delete(path);
    // Wine's removal can report success and leave the object.
    return rc == ERROR_SUCCESS && IsGone(&m_fileSystem, path);
}

bool CVolumeDeleter::LeadsToItself(const std::wstring& path, uint32_t attributes) {
    uint32_t flags = FILE_FLAG_OPEN_REPARSE_POINT;
    if (IsFolder(attributes)) {
        flags |= FILE_FLAG_BACKUP_SEMANTICS;
    }
    std::unique_ptr<IFileHandle> handle;
    if (m_fileSystem.Open(path, FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                          flags, &handle) != ERROR_SUCCESS) {
        return false;  // where it leads cannot be told: it is left alone
    }
    return ReachOf(&m_fileSystem, handle.get(), path) == HandleReach::kNamedObject;
}

bool CVolumeDeleter::Continue(const std::wstring& folder) {
    if (CheckControlPoint(m_operation)) {
        return true;
    }
    ReportItemResult(m_operation, ResultRecord::kFolder, folder, StatusAborted);
    m_operation->m_abortLatched = 1;
    return false;
}

int CEraseEntirePartition::ErasePath(const std::wstring& path, uint32_t removeSelf) {
    return CVolumeDeleter(this).Delete(path, removeSelf);
}

void CEraseEntirePartition::EstimateWork() {
    CExactPathFileSystem fileSystem = FileSystemOf(this);
    const std::wstring root = WithTrailingBackslash(m_path);
    DiskFreeSpaceEx space;
    const uint64_t total =
        fileSystem.QueryFreeSpaceEx(root, &space) == ERROR_SUCCESS ? space.totalBytes : 0;
    const uint64_t passes = m_method != nullptr ? CountPasses(*m_method) : 0;
    uint64_t length = 0;
    m_bytesToWrite = passes * (VolumeDeviceLength(&fileSystem, root, &length) ? length : total);
    m_fileCount = 0;
    m_folderCount = 0;
}

void CEraseEntirePartition::Execute() {
    // Only a volume's root may be emptied this way: a folder, a relative or an empty
    // path would have everything under it deleted on a request that never named it. The
    // volume Windows runs from is never offered, and an automation call cannot have it
    // either: emptying it while it runs would leave a broken system, not an erased one.
    std::wstring volume;
    CExactPathFileSystem fileSystem = FileSystemOf(this);
    const std::wstring root = WithTrailingBackslash(m_path);
    if (!IsAbsolutePath(root) || fileSystem.GetVolumePath(root, &volume) != ERROR_SUCCESS ||
        !EqualsNoCase(WithTrailingBackslash(volume), root) ||
        IsWindowsVolume(this, &fileSystem, root)) {
        m_status = StatusFailedOther;
        ReportRecord(this, NewRecord<CEraseEntirePartition>(), StatusFailedOther);
        return;
    }

    // "E:" alone would name the drive's current directory, not its root.
    const int deleted = ErasePath(root, 0);
    const int32_t deleteStatus = PhaseStatus(this, deleted);
    if (deleted == 0) {
        ReportRecord(this, NewRecord<CEraseContentsOfFolder>(), deleteStatus);
    }
    if (m_abortLatched != 0) {
        m_status = StatusAborted;
        return;
    }

    const int filled = FillFreeSpace(this, m_path);
    if (filled == 0) {
        m_status = PhaseStatus(this, filled);
        ReportRecord(this, NewRecord<CEraseFreeSpace>(), m_status);
        return;
    }
    if (deleted != 0) {
        ReportRecord(this, NewRecord<CEraseEntirePartition>(), StatusCompleted);
    }
    m_status = deleteStatus;
}

}  // namespace qmz
