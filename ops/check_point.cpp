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

bool CheckControlPoint(CEraseOperationBase* operation) {
    if (operation->m_worker != nullptr && operation->m_queue != nullptr) {
        RunWaitingControlOperations(operation);
        while (operation->m_request == RequestPause) {
            operation->m_platform->clock->Sleep(kPauseSleepMilliseconds);
            RunWaitingControlOperations(operation);
        }
    }
    switch (operation->m_request) {
        case RequestAbort:
            operation->m_abortLatched = 1;
            return false;
        case RequestFinishCycle:
            operation->m_finishCycleLatched = 1;
            break;
        case RequestFinishFile:
            operation->m_finishFileLatched = 1;
            break;
        default:
            break;
    }
    return true;
}

bool IsStopped(const CEraseOperationBase* operation) {
    return operation->m_abortLatched != 0 || operation->m_finishCycleLatched != 0;
}

bool AnyLatchSet(const CEraseOperationBase* operation) {
    return IsStopped(operation) || operation->m_finishFileLatched != 0;
}

}  // namespace qmz
