// The check point that every erase routine performs between units of work: it runs
// waiting control operations, holds while the operation is paused, and latches the
// request it then finds.
#pragma once

#include "ops/operation.h"

namespace qmz {

constexpr uint32_t kPauseSleepMilliseconds = 100;

// Latches finish-cycle and finish-file, and abort (then returns false: the item must
// stop at once). Control operations run only when a worker runs the operation.
bool CheckControlPoint(CEraseOperationBase* operation);

// The item was stopped by the user: abort, or a finish-cycle that cut a file short.
bool IsStopped(const CEraseOperationBase* operation);
// Any stop latched, finish-file included: no further file or entry may start.
bool AnyLatchSet(const CEraseOperationBase* operation);

}  // namespace qmz
