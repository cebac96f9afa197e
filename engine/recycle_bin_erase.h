// The Recycle Bins of every fixed and removable volume: their files erased by the folder
// walk, the emptied bin folders removed, and the shell told to empty each bin that it
// then counts as empty, so that its own records and icon agree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ops/operation.h"
#include "ops/operation_names.h"

namespace qmz {

class CEraseRecycleBin
    : public CEraseOperationOf<CEraseRecycleBin, OperationKind::kEraseRecycleBin> {
public:
    void EstimateWork() override;
    void Execute() override;

    int32_t m_allUsers = 0;  // 1: every user's bin on volumes that keep them apart
};

enum class BinSearch { kListed, kNoVolume, kIdentityUnknown };

// The bin folders to erase (`bins`) and the roots of the fixed and removable volumes
// (`roots`), both in volume order. On NTFS a user's bin is "<bin>\<SID>"; with
// `allUsers` the whole bin folder is taken, but only where the user has a bin of their
// own. FAT keeps one "RECYCLED" for everybody.
BinSearch CollectRecycleBins(CEraseOperationBase* operation, int32_t allUsers,
                             std::vector<std::wstring>* bins, std::vector<std::wstring>* roots);

}  // namespace qmz
