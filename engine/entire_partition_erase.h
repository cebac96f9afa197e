// A whole volume, left mounted and usable: everything on it is deleted, then its whole
// free space, which now holds what the files held, is filled and erased.
#pragma once

#include <cstdint>
#include <string>

#include "ops/operation.h"
#include "ops/operation_names.h"

namespace qmz {

class CEraseEntirePartition
    : public CEraseOperationOf<CEraseEntirePartition, OperationKind::kEraseEntirePartition> {
public:
    void EstimateWork() override;
    void Execute() override;
    // Deletes everything under `path` and, with `removeSelf` 1, the path itself, without
    // overwriting: the fill that follows reaches the space. Links and mount points are
    // removed, never entered. Posts result lines for failures only. Nonzero when all was
    // deleted.
    virtual int ErasePath(const std::wstring& path, uint32_t removeSelf);
};

}  // namespace qmz
