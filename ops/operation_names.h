// Per-class display names of the operations, loaded once at start-up.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qmz {

enum class OperationKind {
    kEraseFile,
    kEraseFreeSpace,
    kEraseEntirePartition,
    kEraseRecycleBin,
    kEraseFolderAndContents,
    kEraseFolderOnly,
    kEraseContentsOfFolder,
    kEraseWindowsTemp,
    kEraseInternetTemp,
    kEraseInternetCookies,
    kEraseInternetHistory,
    kPauseNow,
    kResumePausedOperation,
    kFinishCycle,
    kFinishFile,
    kFinishOperation,
    kDiscardPausedOperation,
    kCleanupAndExit,
    kCount,
};

// String-table id of a kind's display name.
uint32_t OperationNameId(OperationKind kind);

// The loaded display name (empty before LoadOperationNames).
const std::wstring& OperationName(OperationKind kind);

// Fills every display name from `loadString` (string id -> text). Main thread, before
// the worker starts; the names are read-only afterwards.
void LoadOperationNames(const std::function<std::wstring(uint32_t)>& loadString);

}  // namespace qmz
