// The free space of a volume: hidden fill files grow in its root until it is full, every
// chunk receiving every pass of the method, and vanish when they are closed.
#pragma once

#include <cstdint>
#include <string>

#include "ops/operation.h"
#include "ops/operation_names.h"

namespace qmz {

constexpr wchar_t kFillFileName[] = L"QMZTEMP";
constexpr uint32_t kFillChunkClusters = 128;
// What one pass covers at once while the end of space is far (16 MiB of 4 KiB clusters).
constexpr uint32_t kLargeChunkClusters = 32 * kFillChunkClusters;
// Without compression control (FAT) no fill file may grow past this.
constexpr uint64_t kFillFileLimitWithoutCompression = 1073741824;

class CEraseFreeSpace : public CEraseOperationOf<CEraseFreeSpace, OperationKind::kEraseFreeSpace> {
public:
    void EstimateWork() override;
    void Execute() override;
};

// The name of fill file `number` (from 1) in `root`: "QMZTEMP", then "QMZTEMP2", ...
std::wstring FillFileName(const std::wstring& root, uint32_t number);

// Fills the free space of the volume with root `root` with the operation's method.
// 1 the volume was filled; 0 refused, failed or stopped (the request and latches tell
// which). No fill file outlives the call.
int FillFreeSpace(CEraseOperationBase* operation, const std::wstring& root);

// The item's status after a fill or delete phase that gave `result`.
int32_t PhaseStatus(const CEraseOperationBase* operation, int result);

}  // namespace qmz
