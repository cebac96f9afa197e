// The user's control commands, the cancellation of the rows that have not started, and
// the exit sequence.
#include <algorithm>

#include "ops/control_operations.h"
#include "ops/erase_coordinator.h"

namespace qmz {
namespace {

// A second click within this time closed the pause menu; it must not open it again.
constexpr uint32_t kPauseMenuGuardMilliseconds = 100;
constexpr uint32_t kExitPollMilliseconds = 100;
constexpr uint32_t kExitWaitMilliseconds = 1000;

}  // namespace

void CEraseCoordinator::Pause() {
    if (m_pendingControl == nullptr) {
        SendPause();
    }
}

void CEraseCoordinator::Resume() {
    if (m_pendingControl != nullptr) {
        return;
    }
    InsertPendingControl<CResumePausedOperation>();
    m_pausedUi = false;
    if (m_view != nullptr) {
        m_view->PauseShown(false);
    }
}

bool CEraseCoordinator::PressPauseButton() {
    if (m_pendingControl != nullptr) {
        return false;
    }
    SendPause();
    return m_platform->clock->TickCount() - m_lastPauseClick > kPauseMenuGuardMilliseconds;
}

void CEraseCoordinator::PauseMenuClosed() {
    m_lastPauseClick = m_platform->clock->TickCount();
}

// The stop commands cancel what has not started before they are sent, so that the worker
// cannot take a queued item in between. Like every command, they are dropped while
// another is still on its way.
void CEraseCoordinator::AbortItem() {
    if (m_pendingControl == nullptr) {
        CancelWaitingRows();
        InsertPendingControl<CDiscardPausedOperation>();
    }
}

void CEraseCoordinator::FinishCycle() {
    if (m_pendingControl == nullptr) {
        CancelWaitingRows();
        InsertPendingControl<CFinishCycle>();
    }
}

void CEraseCoordinator::FinishFile() {
    if (m_pendingControl == nullptr) {
        CancelWaitingRows();
        InsertPendingControl<CFinishFile>();
    }
}

// Finishing the item cancels the rest even while another command is on its way.
void CEraseCoordinator::FinishItem() {
    CancelWaitingRows();
    if (m_pendingControl == nullptr) {
        InsertPendingControl<CFinishOperation>();
    }
}

void CEraseCoordinator::SendPause() {
    InsertPendingControl<CPauseNow>();
    m_pausedUi = true;
    if (m_view != nullptr) {
        m_view->PauseShown(true);
    }
}

void CEraseCoordinator::CancelWaitingRows() {
    const int32_t last = std::min(m_ranges.LastWaitingRow(), RowCount() - 1);
    for (int32_t row = std::max(m_ranges.FirstWaitingRow(), 0); row <= last; ++row) {
        Row& entry = m_rows[row];
        if (entry.awaiting) {
            entry.awaiting.reset();
        } else if (entry.queued == nullptr) {
            continue;  // left over by an earlier cancellation
        } else if (entry.queued->m_status == StatusQueued &&
                   m_queue.RemoveIfWaiting(entry.queued)) {
            entry.queued = nullptr;
        } else {
            // The worker took it after the last report the window has seen. The row keeps
            // it so that its reports still find the row, and its done report removes both.
            ReportInternalError(L"Expected different status:\n" + entry.queued->m_path);
        }
        if (m_view != nullptr) {
            m_view->RowStatusChanged(row, StatusAborted);
        }
    }
    m_ranges.EmptyWaitingRanges(RowCount());
}

void CEraseCoordinator::RetirePendingControl() {
    if (m_pendingControl != nullptr) {
        m_retiredControls.push_back(m_pendingControl);
        m_pendingControl = nullptr;
    }
}

void CEraseCoordinator::SendControlAndWait(COperationBase* command) {
    RetirePendingControl();
    InsertPendingControl(command);
    COperationBase* sent = m_pendingControl;
    if (sent == nullptr) {
        return;
    }
    // A worker that ended by itself will never carry it out.
    while (sent->m_status != StatusCompleted && !m_worker.WaitForExit(0)) {
        m_platform->clock->Sleep(kExitPollMilliseconds);
    }
    // The worker may still be posting its reports about it, so it is freed by its done
    // report (or with the queue) rather than here.
    RetirePendingControl();
}

void CEraseCoordinator::PauseAndDiscardForExit() {
    if (!m_worker.Running()) {
        return;
    }
    SendControlAndWait<CPauseNow>();
    SendControlAndWait<CDiscardPausedOperation>();
}

bool CEraseCoordinator::EndWorker() {
    m_exiting = true;
    if (!m_worker.Running()) {
        return true;
    }
    RetirePendingControl();
    InsertPendingControl<CCleanupAndExit>();
    COperationBase* cleanup = m_pendingControl;
    if (cleanup == nullptr) {
        return false;
    }
    while (!m_worker.WaitForExit(kExitWaitMilliseconds)) {
    }
    m_worker.Join();
    m_queue.RemoveOperation(cleanup);
    m_pendingControl = nullptr;
    return true;
}

}  // namespace qmz
