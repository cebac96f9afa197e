// The recursive folder walk: files erased, sub-folders emptied and removed bottom-up,
// mounted volumes and links never entered.
#pragma once

#include <cstdint>
#include <string>

#include "ops/operation.h"
#include "platform/file_system.h"

namespace qmz {

// Erases everything in `folder` and, with `removeSelf` 1, the folder itself.
// 1 all erased; 0 something failed or the walk was stopped.
int EraseFolderTree(CEraseOperationBase* operation, const std::wstring& folder, int removeSelf);

// Adds the size, files and folders under `path` to the counters.
void WalkForEstimate(IFileSystem* fileSystem, const std::wstring& path, uint64_t* bytes,
                     uint64_t* files, uint64_t* folders);

}  // namespace qmz
