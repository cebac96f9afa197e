#include "engine/file_erase.h"

#include <vector>

#include "engine/compressed_streams.h"
#include "engine/erase_operations.h"
#include "engine/file_streams.h"
#include "engine/named_object.h"
#include "engine/operation_platform.h"
#include "engine/path_helpers.h"
#include "ops/check_point.h"
#include "ops/operation_queue.h"
#include "platform/utf16_units.h"

namespace qmz {
namespace {

std::unique_ptr<CEraseOperationBase> MakeRecord(ResultRecord record) {
    try {
        switch (record) {
            case ResultRecord::kFile:
                return std::make_unique<CEraseFile>();
            case ResultRecord::kFolder:
                return std::make_unique<CEraseFolderOnly>();
            case ResultRecord::kFolderAndContents:
                return std::make_unique<CEraseFolderAndContents>();
        }
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}

int32_t StoppedOr(const CEraseOperationBase* operation, int32_t otherwise) {
    return IsStopped(operation) ? StatusAborted : otherwise;
}

// Posts the file's line and gives the entry's result.
int FileResult(CEraseOperationBase* operation, const std::wstring& path, int32_t status,
               int result) {
    ReportItemResult(operation, ResultRecord::kFile, path, status);
    return result;
}

// A removal counts only once the object is really gone: Wine's DeleteFileW can succeed in
// an immutable folder and leave the file.
bool DeleteAndConfirm(CEraseOperationBase* operation, const std::wstring& path) {
    CExactPathFileSystem fileSystem = FileSystemOf(operation);
    return fileSystem.Delete(path) == ERROR_SUCCESS && IsGone(&fileSystem, path);
}

}  // namespace

void ReportItemResult(CEraseOperationBase* operation, ResultRecord record, const std::wstring& path,
                      int32_t status) {
    std::unique_ptr<CEraseOperationBase> line = MakeRecord(record);
    if (!line) {
        return;
    }
    line->m_path = path;
    line->m_status = status;
    line->m_method = operation->m_method;
    line->m_ownsMethod = operation->m_ownsMethod;  // the record never frees it
    line->m_userName = operation->m_userName;
    line->m_hOwnerWnd = operation->m_hOwnerWnd;
    line->m_caption = operation->m_caption;
    operation->m_queue->PostItemResult(std::move(line));
}

void ReportRecord(CEraseOperationBase* operation, std::unique_ptr<CEraseOperationBase> record,
                  int32_t status) {
    if (!record) {
        return;
    }
    record->m_hOwnerWnd = operation->m_hOwnerWnd;
    record->m_caption = operation->m_caption;
    record->m_method = operation->m_method;
    record->m_ownsMethod = operation->m_ownsMethod;  // the record never frees it
    record->m_path = operation->m_path;
    record->m_includeSuperHidden = operation->m_includeSuperHidden;
    record->m_userName = operation->m_userName;
    record->m_status = status;
    operation->m_queue->PostItemResult(std::move(record));
}

bool IsSuperHidden(uint32_t attributes) {
    const uint32_t both = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (attributes & both) == both;
}

bool MakeWritableIfReadOnly(CEraseOperationBase* operation, uint32_t* attributes,
                            const std::wstring& path) {
    if ((*attributes & FILE_ATTRIBUTE_READONLY) == 0) {
        return true;
    }
    if (FileSystemOf(operation).MakeWritable(path) != ERROR_SUCCESS) {
        return false;
    }
    *attributes &= ~FILE_ATTRIBUTE_READONLY;
    return true;
}

std::wstring RenameBeforeDelete(CEraseOperationBase* operation, const std::wstring& path) {
    const size_t slash = LastSeparator(path);
    if (slash == std::wstring::npos) {
        return path;
    }
    const std::wstring renamed = path.substr(0, slash + 1) + kRenameTarget;
    if (FileSystemOf(operation).Move(path, renamed) != ERROR_SUCCESS) {
        return path;
    }
    return renamed;
}

int EraseFileEntry(CEraseOperationBase* operation, uint32_t attributes, const std::wstring& path) {
    if (Utf16Units(path) > kMaxItemPathChars || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileResult(operation, path, StatusFailedOther, 0);
    }
    if (IsSuperHidden(attributes) && operation->m_includeSuperHidden == 0) {
        return FileResult(operation, path, StatusFailedSystemFile, 0);
    }
    if (!MakeWritableIfReadOnly(operation, &attributes, path)) {
        return FileResult(operation, path, StatusFailedOther, 0);
    }
    operation->m_finishFileLatched = 0;

    std::vector<_FILE_DATA_STREAM> streams;
    if (EnumerateStreams(operation, attributes, path, &streams) == 0) {
        // The user must hear of a file that was left untouched.
        return FileResult(operation, path, StatusFailedOther, 0);
    }
    for (const _FILE_DATA_STREAM& stream : streams) {
        if (stream.attributes == INVALID_FILE_ATTRIBUTES) {
            return FileResult(operation, path, StatusFailedOther, 0);
        }
        if (OverwriteAnyStream(operation, stream.attributes, stream.name, stream.size) == 0) {
            return FileResult(operation, path, StoppedOr(operation, StatusFailedOther), 0);
        }
    }

    const std::wstring current = RenameBeforeDelete(operation, path);
    if (DeleteAndConfirm(operation, current)) {
        if (operation->m_finishFileLatched != 0) {
            return FileResult(operation, path, StatusAborted, 0);
        }
        return FileResult(operation, path, StatusCompleted, 1);
    }
    if (current != path) {
        FileSystemOf(operation).Move(current, path);  // leave no "$1" behind
    }
    return FileResult(operation, path, StatusFailedOther, 0);
}

int EraseFolderStreams(CEraseOperationBase* operation, uint32_t attributes,
                       const std::wstring& path, int32_t* reportedStatus) {
    int32_t ignored = 0;
    int32_t& reported = reportedStatus != nullptr ? *reportedStatus : ignored;
    reported = 0;
    auto fail = [&](int32_t status) {
        reported = status;
        ReportItemResult(operation, ResultRecord::kFolder, path, status);
        return 0;
    };

    if (Utf16Units(path) > kMaxItemPathChars || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        !MakeWritableIfReadOnly(operation, &attributes, path)) {
        return fail(StatusFailedOther);
    }
    operation->m_finishFileLatched = 0;
    std::vector<_FILE_DATA_STREAM> streams;
    if (EnumerateStreams(operation, attributes, path, &streams) == 0) {
        return 0;
    }
    for (const _FILE_DATA_STREAM& stream : streams) {
        if (stream.attributes == INVALID_FILE_ATTRIBUTES) {
            return fail(StatusFailedOther);
        }
        if (OverwriteAnyStream(operation, stream.attributes, stream.name, stream.size) == 0) {
            return fail(StoppedOr(operation, StatusFailedOther));
        }
        // A folder's ordinary named streams go one by one; the special routines have
        // already truncated theirs.
        if (!NeedsSpecialHandling(stream.attributes) && !DeleteAndConfirm(operation, stream.name)) {
            return fail(StatusFailedOther);
        }
    }
    if (operation->m_finishFileLatched != 0) {
        return fail(StatusAborted);
    }
    return 1;
}

int32_t RemoveFolderStep(CEraseOperationBase* operation, uint32_t attributes,
                         const std::wstring& path) {
    int32_t reported = 0;
    int32_t status;
    if (EraseFolderStreams(operation, attributes, path, &reported) == 0) {
        if (reported != 0) {
            return reported;  // that line already tells the folder's outcome
        }
        status = StoppedOr(operation, StatusFailedOther);
    } else if (IsStopped(operation)) {
        status = StatusAborted;
    } else {
        CExactPathFileSystem fileSystem = FileSystemOf(operation);
        const bool removed =
            fileSystem.RemoveFolder(path) == ERROR_SUCCESS && IsGone(&fileSystem, path);
        status = removed ? StatusCompleted : StatusFailedOther;
    }
    ReportItemResult(operation, ResultRecord::kFolder, path, status);
    return status;
}

}  // namespace qmz
