// Erases of whole places that requests name by root: the free space of a volume, a whole
// volume, and the Recycle Bin. The requests and their rows exist; the erase itself is
// not built yet, so a confirmed row fails without touching anything.
#pragma once

#include "ops/operation.h"
#include "ops/operation_names.h"

namespace qmz {

template <class Derived, OperationKind kKind>
class CNotYetErasable : public CEraseOperationOf<Derived, kKind> {
public:
    void EstimateWork() override {}
    void Execute() override { this->m_status = StatusFailedOther; }
};

class CEraseFreeSpace : public CNotYetErasable<CEraseFreeSpace, OperationKind::kEraseFreeSpace> {};

class CEraseEntirePartition
    : public CNotYetErasable<CEraseEntirePartition, OperationKind::kEraseEntirePartition> {};

class CEraseRecycleBin : public CNotYetErasable<CEraseRecycleBin, OperationKind::kEraseRecycleBin> {
public:
    int32_t m_allUsers = 0;  // 1: every user's bin on volumes that keep them apart
};

}  // namespace qmz
