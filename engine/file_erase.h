// One file: its streams overwritten, then truncated, renamed and deleted. One folder's
// own named streams, and its removal. Every item gets one result line.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "ops/operation.h"

namespace qmz {

constexpr size_t kMaxItemPathChars = 260;
constexpr wchar_t kRenameTarget[] = L"$1";

// Which record class carries a result line.
enum class ResultRecord {
    kFile,               // CEraseFile
    kFolder,             // CEraseFolderOnly
    kFolderAndContents,  // CEraseFolderAndContents
};

// Posts one result line for `path` to the main window.
void ReportItemResult(CEraseOperationBase* operation, ResultRecord record, const std::wstring& path,
                      int32_t status);

// A fresh record of class T, or null when memory runs out.
template <class T>
std::unique_ptr<CEraseOperationBase> NewRecord() {
    try {
        return std::make_unique<T>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Posts `record` (when there is one) as a result line for the operation's own path, with
// the fields a line shows copied from the operation. Never a clone: the main thread may
// be relinking the operation's queue neighbours meanwhile.
void ReportRecord(CEraseOperationBase* operation, std::unique_ptr<CEraseOperationBase> record,
                  int32_t status);

bool IsSuperHidden(uint32_t attributes);

// 1 erased and deleted; 0 otherwise. Always posts the file's result line.
int EraseFileEntry(CEraseOperationBase* operation, uint32_t attributes, const std::wstring& path);

// Moves the file to "$1" in its folder, so that its name does not survive in the
// directory; returns the path it now has (the old one when the move failed).
std::wstring RenameBeforeDelete(CEraseOperationBase* operation, const std::wstring& path);

// Overwrites and deletes a folder's named streams. 1 done, 0 failed; posts a folder
// result line for its own failures only (`reportedStatus`, when given, receives the
// status of that line, or 0 when none was posted).
int EraseFolderStreams(CEraseOperationBase* operation, uint32_t attributes,
                       const std::wstring& path, int32_t* reportedStatus = nullptr);

// The folder's streams, then RemoveDirectoryW; posts exactly one folder result line and
// returns its status.
int32_t RemoveFolderStep(CEraseOperationBase* operation, uint32_t attributes,
                         const std::wstring& path);

// Clears FILE_ATTRIBUTE_READONLY when it is set; false when that fails.
bool MakeWritableIfReadOnly(CEraseOperationBase* operation, uint32_t* attributes,
                            const std::wstring& path);

}  // namespace qmz
