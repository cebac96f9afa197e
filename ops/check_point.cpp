#include "ops/check_point.h"

#include "ops/operation_queue.h"
#include "ops/worker.h"

namespace qmz {
namespace {

void RunWaitingControlOperations(CEraseOperationBase* operation) {
    if (operation->m_queue->ControlOperationWaits()) {
        ProcessControlOperations(operation->m_worker);
    }
}

}  // namespace

void CheckControlPoint(CEraseOperationBase* operation) {
    if (operation->m_queue == nullptr || operation->m_worker == nullptr) {
        return;  // not run by a worker: nothing can steer it
    }
    RunWaitingControlOperations(operation);
    IClock* clock = operation->m_queue->Platform().clock;
    while (operation->m_request == RequestPause) {
        clock->Sleep(kPauseSleepMilliseconds);
        RunWaitingControlOperations(operation);
    }
    if (operation->m_request == RequestFinishCycle) {
        operation->m_finishCycleLatched = 1;
    } else if (operation->m_request == RequestFinishFile) {
        operation->m_finishFileLatched = 1;
    }
}

}  // namespace qmz
