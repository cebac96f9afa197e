#include "ops/control_operations.h"

#include "ops/worker.h"

namespace qmz {
namespace {

// Leaves `request` for the executing erase operation, if one runs, and shows
// `status` for it; the control operation itself is then complete.
void Steer(COperationBase* control, int32_t request, int32_t status) {
    if (COperationBase* current = control->m_worker->m_current) {
        current->m_request = request;
        current->m_status = status;
    }
    control->m_status = StatusCompleted;
}

}  // namespace

void CPauseNow::Execute() {
    Steer(this, RequestPause, StatusPaused);
}

void CResumePausedOperation::Execute() {
    m_worker->m_controlOnly = 0;
    Steer(this, RequestNone, StatusExecuting);
}

// The finish commands replace a pause, so they also resume a paused operation.
void CFinishCycle::Execute() {
    Steer(this, RequestFinishCycle, StatusExecuting);
}

void CFinishFile::Execute() {
    Steer(this, RequestFinishFile, StatusExecuting);
}

void CFinishOperation::Execute() {
    Steer(this, RequestFinishOperation, StatusExecuting);
}

void CDiscardPausedOperation::Execute() {
    Steer(this, RequestAbort, StatusAborted);
}

void CCleanupAndExit::Execute() {
    m_worker->m_stop = 1;
    Steer(this, RequestAbort, StatusAborted);
}

}  // namespace qmz
