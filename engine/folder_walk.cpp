#include "engine/folder_walk.h"

#include <memory>

#include "engine/file_erase.h"
#include "engine/file_streams.h"
#include "engine/named_object.h"
#include "engine/operation_platform.h"
#include "engine/path_helpers.h"
#include "ops/check_point.h"
#include "platform/utf16_units.h"

namespace qmz {
namespace {

bool IsDotEntry(const std::wstring& name) {
    return name == L"." || name == L"..";
}

bool IsFolder(uint32_t attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class CFolderWalk {
public:
    explicit CFolderWalk(CEraseOperationBase* operation)
        : m_operation(operation), m_fileSystem(FileSystemOf(operation)) {}

    // `nested`: called for a sub-folder, whose parent posts the folder's line.
    int Walk(const std::wstring& folder, int removeSelf, bool nested);

private:
    enum class EntryOutcome { Continue, Failed, StopWalk };

    EntryOutcome FileEntry(const FindData& entry, const std::wstring& path);
    // The folder is the one its path names, not a link's target that the system does
    // not present as a link; a volume root or mount point leads to its volume.
    bool LeadsToItself(const std::wstring& folder);
    // Nothing is left in the folder (a listing can end early without saying so).
    bool IsEmpty(const std::wstring& folder);
    EntryOutcome FolderEntry(const FindData& entry, const std::wstring& path);
    void Report(ResultRecord record, const std::wstring& path, int32_t status) {
        ReportItemResult(m_operation, record, path, status);
    }

    CEraseOperationBase* m_operation;
    CExactPathFileSystem m_fileSystem;
};

int CFolderWalk::Walk(const std::wstring& folder, int removeSelf, bool nested) {
    if (AnyLatchSet(m_operation)) {
        return 0;
    }
    if (!IsAbsolutePath(folder)) {
        // An empty or relative folder would be listed from the current directory, or
        // as "\\*" from the root of the current drive: never what was asked for.
        Report(ResultRecord::kFolder, folder, StatusFailedOther);
        return 0;
    }
    if (m_operation->m_engineFlag == 0) {
        m_operation->m_engineName = folder;
        m_operation->m_engineFlag = 1;
        m_operation->m_finishCycleLatched = 0;
        m_operation->m_finishFileLatched = 0;
    }

    if (!LeadsToItself(folder)) {
        if (!nested) {
            Report(ResultRecord::kFolder, folder, StatusFailedOther);
        }
        return 0;
    }
    std::unique_ptr<IFindHandle> find;
    FindData entry;
    const uint32_t first = m_fileSystem.FindFirst(JoinPath(folder, L"*"), &find, &entry);
    if (first != ERROR_SUCCESS) {
        std::wstring volumeName;
        if (removeSelf == 0 && first == ERROR_FILE_NOT_FOUND &&
            m_fileSystem.GetVolumeNameForMountPoint(WithTrailingBackslash(folder), &volumeName) ==
                ERROR_SUCCESS) {
            Report(ResultRecord::kFolder, folder, StatusCompleted);  // an empty volume
            return 1;
        }
        if (!nested) {
            Report(ResultRecord::kFolder, folder, StatusFailedOther);
        }
        return 0;
    }

    int result = 1;
    uint32_t rc = ERROR_SUCCESS;
    for (; rc == ERROR_SUCCESS; rc = find->Next(&entry)) {
        if (IsDotEntry(entry.name)) {
            continue;
        }
        const std::wstring path = JoinPath(folder, entry.name);
        const EntryOutcome outcome =
            IsFolder(entry.attributes) ? FolderEntry(entry, path) : FileEntry(entry, path);
        if (outcome != EntryOutcome::Continue) {
            result = 0;
        }
        // A stop ends the walk before another entry is started, whatever kind of entry
        // saw it.
        if (outcome == EntryOutcome::StopWalk || AnyLatchSet(m_operation)) {
            return 0;
        }
    }
    find.reset();
    if (rc != ERROR_NO_MORE_FILES) {
        // A listing that broke off leaves entries unseen; a sub-folder's parent says so.
        if (!nested) {
            Report(ResultRecord::kFolder, folder, StatusFailedOther);
        }
        return 0;
    }
    if (removeSelf == 0 && result == 1 && !nested && !IsEmpty(folder)) {
        Report(ResultRecord::kFolder, folder, StatusFailedOther);
        return 0;
    }

    if (removeSelf == 1 && folder == m_operation->m_engineName) {
        m_operation->m_engineFlag = 0;
        uint32_t attributes = INVALID_FILE_ATTRIBUTES;
        m_fileSystem.GetAttributes(folder, &attributes);
        if (RemoveFolderStep(m_operation, attributes, folder) != StatusCompleted) {
            result = 0;
        }
    }
    return result;
}

bool CFolderWalk::LeadsToItself(const std::wstring& folder) {
    std::unique_ptr<IFileHandle> handle;
    if (m_fileSystem.Open(folder, FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                          FILE_FLAG_BACKUP_SEMANTICS, &handle) != ERROR_SUCCESS) {
        return false;
    }
    if (ReachOf(&m_fileSystem, handle.get(), folder) == HandleReach::kNamedObject) {
        return true;
    }
    std::wstring volumeName;
    return m_fileSystem.GetVolumeNameForMountPoint(WithTrailingBackslash(folder), &volumeName) ==
           ERROR_SUCCESS;
}

bool CFolderWalk::IsEmpty(const std::wstring& folder) {
    std::unique_ptr<IFindHandle> find;
    FindData entry;
    uint32_t rc = m_fileSystem.FindFirst(JoinPath(folder, L"*"), &find, &entry);
    if (rc == ERROR_FILE_NOT_FOUND) {
        return true;  // a volume root lists not even "." and ".."
    }
    for (; rc == ERROR_SUCCESS; rc = find->Next(&entry)) {
        if (!IsDotEntry(entry.name)) {
            return false;
        }
    }
    return rc == ERROR_NO_MORE_FILES;
}

CFolderWalk::EntryOutcome CFolderWalk::FileEntry(const FindData& entry, const std::wstring& path) {
    if (IsSuperHidden(entry.attributes) && m_operation->m_includeSuperHidden == 0) {
        m_operation->m_status = StatusFailedSystemFile;
        Report(ResultRecord::kFile, path, StatusFailedSystemFile);
        return EntryOutcome::Failed;
    }
    if (IsMountedVolume(m_operation, entry.attributes, path)) {
        Report(ResultRecord::kFile, path, StatusFailedOther);
        return EntryOutcome::Failed;
    }
    if (EraseFileEntry(m_operation, entry.attributes, path) == 0) {
        return AnyLatchSet(m_operation) ? EntryOutcome::StopWalk : EntryOutcome::Failed;
    }
    return EntryOutcome::Continue;
}

CFolderWalk::EntryOutcome CFolderWalk::FolderEntry(const FindData& entry,
                                                   const std::wstring& path) {
    if (IsSuperHidden(entry.attributes) && m_operation->m_includeSuperHidden == 0) {
        m_operation->m_status = StatusFailedSystemFile;
        Report(ResultRecord::kFolderAndContents, path, StatusFailedSystemFile);
        return EntryOutcome::Failed;
    }
    if (!CheckControlPoint(m_operation)) {
        Report(ResultRecord::kFolder, path, StatusAborted);
        return EntryOutcome::StopWalk;
    }
    if (IsMountedVolume(m_operation, entry.attributes, path)) {
        Report(ResultRecord::kFolder, path, StatusFailedOther);
        return EntryOutcome::Failed;
    }
    uint32_t attributes = entry.attributes;
    if (Utf16Units(path) > kMaxItemPathChars) {
        // Refused like any over-long item, and not entered: descending without a limit
        // would let a deep enough tree exhaust the worker's stack.
        Report(ResultRecord::kFolder, path, StatusFailedOther);
        return EntryOutcome::Failed;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        if (Walk(path, 1, true) == 0) {
            // A user's stop leaves the folder in place on purpose.
            Report(ResultRecord::kFolder, path,
                   AnyLatchSet(m_operation) ? StatusAborted : StatusFailedOther);
            return AnyLatchSet(m_operation) ? EntryOutcome::StopWalk : EntryOutcome::Failed;
        }
    }
    // A link is removed as it stands; its target is never entered.
    MakeWritableIfReadOnly(m_operation, &attributes, path);
    if (RemoveFolderStep(m_operation, attributes, path) != StatusCompleted) {
        return EntryOutcome::Failed;
    }
    return EntryOutcome::Continue;
}

}  // namespace

int EraseFolderTree(CEraseOperationBase* operation, const std::wstring& folder, int removeSelf) {
    return CFolderWalk(operation).Walk(folder, removeSelf, false);
}

void WalkForEstimate(IFileSystem* fileSystem, const std::wstring& path, uint64_t* bytes,
                     uint64_t* files, uint64_t* folders) {
    const size_t slash = LastSeparator(path);
    if (IsDotEntry(slash == std::wstring::npos ? path : path.substr(slash + 1))) {
        return;
    }
    if (Utf16Units(path) > kMaxItemPathChars) {
        return;  // never erased, and a bound on the recursion
    }
    FileAttributeData data;
    if (fileSystem->GetAttributesEx(path, &data) != ERROR_SUCCESS) {
        return;
    }
    if (!IsFolder(data.attributes)) {
        *bytes += data.size;
        *files += 1;
        return;
    }
    std::unique_ptr<IFindHandle> find;
    FindData entry;
    const uint32_t rc = fileSystem->FindFirst(JoinPath(path, L"*"), &find, &entry);
    if (rc == ERROR_FILE_NOT_FOUND) {
        *folders += 1;
        return;
    }
    if (rc != ERROR_SUCCESS) {
        return;
    }
    do {
        if (IsDotEntry(entry.name) || (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            continue;
        }
        if (IsFolder(entry.attributes)) {
            WalkForEstimate(fileSystem, JoinPath(path, entry.name), bytes, files, folders);
        } else {
            *bytes += entry.size;
            *files += 1;
        }
    } while (find->Next(&entry) == ERROR_SUCCESS);
    *folders += 1;
}

}  // namespace qmz
