// The check point that every erase routine performs between units of work: it runs
// waiting control operations and holds while the operation is paused.
#pragma once

#include "ops/operation.h"

namespace qmz {

constexpr uint32_t kPauseSleepMilliseconds = 100;

// On return `operation->m_request` tells the caller what to do; the finish-cycle and
// finish-file requests are latched here.
void CheckControlPoint(CEraseOperationBase* operation);

}  // namespace qmz
