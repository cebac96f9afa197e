#include "engine/erase_operations.h"

#include "engine/file_erase.h"
#include "engine/file_streams.h"
#include "engine/folder_walk.h"
#include "engine/operation_platform.h"

namespace qmz {
namespace {

// FindFirstFileW would match some other object; the leading "\\?\" of a long-path
// name is not a wildcard.
bool HasWildcard(const std::wstring& path) {
    const std::wstring prefix = L"\\\\?\\";
    const size_t from = path.compare(0, prefix.size(), prefix) == 0 ? prefix.size() : 0;
    return path.find_first_of(L"*?", from) != std::wstring::npos;
}

// The attributes of exactly `path`, as FindFirstFileW reports them. FindFirstFileW
// finds "victim" for "victim." even in a "\\?\" path (Wine), so the object must also
// answer to its exact name.
bool FindAttributes(const CEraseOperationBase* operation, const std::wstring& path,
                    uint32_t* attributes) {
    if (path.empty() || HasWildcard(path)) {
        return false;
    }
    CExactPathFileSystem fileSystem = FileSystemOf(operation);
    std::unique_ptr<IFindHandle> find;
    FindData data;
    FileAttributeData exact;
    if (fileSystem.FindFirst(path, &find, &data) != ERROR_SUCCESS ||
        fileSystem.GetAttributesEx(path, &exact) != ERROR_SUCCESS) {
        return false;
    }
    *attributes = data.attributes;
    return true;
}

int32_t FinalStatus(const CEraseOperationBase* operation, int result) {
    if (result != 0) {
        return StatusCompleted;
    }
    return operation->m_request == RequestAbort ? StatusAborted : StatusFailedOther;
}

}  // namespace

void EstimateTree(CEraseOperationBase* operation) {
    uint64_t bytes = 0;
    uint64_t files = 0;
    uint64_t folders = 0;
    CExactPathFileSystem fileSystem = FileSystemOf(operation);
    WalkForEstimate(&fileSystem, operation->m_path, &bytes, &files, &folders);
    const uint64_t passes = operation->m_method != nullptr ? CountPasses(*operation->m_method) : 0;
    operation->m_bytesToWrite = bytes * passes;
    operation->m_fileCount = files;
    operation->m_folderCount = folders;
}

template <class Derived, OperationKind kKind>
void CFileEraseOperation<Derived, kKind>::EstimateWork() {
    EstimateTree(this);
}

template class CFileEraseOperation<CEraseFile, OperationKind::kEraseFile>;
template class CFileEraseOperation<CEraseFolderOnly, OperationKind::kEraseFolderOnly>;
template class CFileEraseOperation<CEraseFolderAndContents, OperationKind::kEraseFolderAndContents>;
template class CFileEraseOperation<CEraseContentsOfFolder, OperationKind::kEraseContentsOfFolder>;

void CEraseFile::Execute() {
    uint32_t attributes = 0;
    if (!FindAttributes(this, m_path, &attributes)) {
        m_status = StatusFailedOther;
        ReportItemResult(this, ResultRecord::kFile, m_path, StatusFailedOther);
        return;
    }
    m_includeSuperHidden = 1;  // a file the user named is erased even when super-hidden
    if (IsMountedVolume(this, attributes, m_path)) {
        m_status = StatusFailedOther;
        ReportItemResult(this, ResultRecord::kFile, m_path, StatusFailedOther);
        return;
    }
    m_status = FinalStatus(this, EraseFileEntry(this, attributes, m_path));
}

void CEraseFolderOnly::EstimateWork() {
    m_bytesToWrite = 0;
    m_fileCount = 0;
    m_folderCount = 1;
}

void CEraseFolderOnly::Execute() {
    uint32_t attributes = INVALID_FILE_ATTRIBUTES;
    CExactPathFileSystem exactPaths = FileSystemOf(this);
    IFileSystem* fileSystem = &exactPaths;
    if (fileSystem->GetAttributes(m_path, &attributes) != ERROR_SUCCESS ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || IsMountedVolume(this, attributes, m_path)) {
        m_status = StatusFailedOther;
        ReportItemResult(this, ResultRecord::kFolder, m_path, StatusFailedOther);
        return;
    }
    MakeWritableIfReadOnly(this, &attributes, m_path);
    m_status = RemoveFolderStep(this, attributes, m_path);
}

void CEraseFolderAndContents::Execute() {
    if (m_abortLatched != 0) {
        m_status = StatusAborted;  // Execute must leave a final status
        return;
    }
    uint32_t attributes = 0;
    if (!FindAttributes(this, m_path, &attributes)) {
        m_status = StatusFailedOther;
        ReportItemResult(this, ResultRecord::kFolderAndContents, m_path, StatusFailedOther);
        return;
    }
    if (IsMountedVolume(this, attributes, m_path)) {
        m_status = StatusFailedOther;
        ReportItemResult(this, ResultRecord::kFolder, m_path, StatusFailedOther);
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        MakeWritableIfReadOnly(this, &attributes, m_path);
        m_status = RemoveFolderStep(this, attributes, m_path);
        return;
    }
    m_status = FinalStatus(this, EraseFolderTree(this, m_path, 1));
}

void CEraseContentsOfFolder::Execute() {
    int result = EraseFolderTree(this, m_path, 0);
    if (result != 0) {
        uint32_t attributes = INVALID_FILE_ATTRIBUTES;
        FileSystemOf(this).GetAttributes(m_path, &attributes);
        result = EraseFolderStreams(this, attributes, m_path);
    }
    m_status = FinalStatus(this, result);
}

}  // namespace qmz
