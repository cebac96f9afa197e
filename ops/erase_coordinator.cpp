#include "ops/erase_coordinator.h"

#include "ops/control_operations.h"

namespace qmz {

void CEraseCoordinator::InsertPendingControl(COperationBase* command) {
    command->m_hOwnerWnd = m_owner;
    command->m_caption = m_caption;
    m_pendingControl = m_queue.InsertControlOperation(*command);
}

CEraseCoordinator::CEraseCoordinator(const PlatformServices* platform,
                                     const MethodEntry* sharedCustomMethod)
    : m_platform(platform), m_queue(platform->sink, sharedCustomMethod) {}

CEraseCoordinator::~CEraseCoordinator() {
    Shutdown();
}

void CEraseCoordinator::Attach(IEraseListView* view, WindowHandle owner, std::wstring caption,
                               std::wstring errorPrefix) {
    m_view = view;
    m_owner = owner;
    m_caption = std::move(caption);
    m_errorPrefix = std::move(errorPrefix);
}

bool CEraseCoordinator::StartWorker() {
    WorkerThreadParams params;
    params.queue = &m_queue;
    params.messageBox = m_platform->messageBox;
    params.caption = m_caption;
    params.errorPrefix = m_errorPrefix;
    return m_worker.Start(params);
}

int32_t CEraseCoordinator::AddRequest(std::unique_ptr<CEraseOperationBase> operation) {
    operation->m_platform = m_platform;
    operation->m_hOwnerWnd = m_owner;
    operation->m_caption = m_caption;
    operation->EstimateWork();
    const int32_t row = m_ranges.m_lastNewRow + 1;
    Row added;
    added.awaiting = std::move(operation);
    m_rows.insert(m_rows.begin() + row, std::move(added));
    m_ranges.m_lastNewRow = row;
    if (m_view != nullptr) {
        m_view->RowInserted(row, *m_rows[row].awaiting);
    }
    return row;
}

void CEraseCoordinator::StartErase() {
    for (int32_t row = m_ranges.m_firstNewRow; row <= m_ranges.m_lastNewRow; ++row) {
        Row& entry = m_rows[row];
        if (!entry.awaiting || entry.awaiting->m_status != StatusAwaitingConfirmation) {
            const CEraseOperationBase* operation = entry.Operation();
            ReportInternalError(L"Expected operation status to be waiting for confirmation:\n" +
                                (operation != nullptr ? operation->m_path : std::wstring()));
            continue;
        }
        auto* clone = static_cast<CEraseOperationBase*>(m_queue.AppendOperation(*entry.awaiting));
        if (clone == nullptr) {
            // The row keeps its operation and can be confirmed again.
            ReportInternalError(L"SetItemData() failed:\n" + entry.awaiting->m_path);
            continue;
        }
        entry.awaiting.reset();
        entry.queued = clone;
        // Not the clone's status: the worker may have taken it already, and its own
        // report of that follows this one.
        if (m_view != nullptr) {
            m_view->RowStatusChanged(row, StatusQueued);
        }
    }
    m_ranges.m_lastQueuedRow = m_ranges.m_lastNewRow;
    m_ranges.m_firstNewRow = m_ranges.m_lastNewRow + 1;
    if (m_ranges.m_firstQueuedRow >= 0 && m_ranges.m_firstQueuedRow < RowCount() &&
        m_view != nullptr) {
        m_view->ShowRow(m_ranges.m_firstQueuedRow);
    }
    if (m_pendingControl == nullptr) {
        InsertPendingControl<CResumePausedOperation>();
        m_pausedUi = false;
        if (m_view != nullptr) {
            m_view->PauseShown(false);
        }
    }
}

bool CEraseCoordinator::BeginUserChange() {
    switch (GateUserChange(m_ranges.m_executingRow >= 0, m_pendingControl != nullptr)) {
        case UserChangeGate::kApply:
            return true;
        case UserChangeGate::kIgnore:
            return false;
        case UserChangeGate::kPauseThenApply:
            break;
    }
    SendPause();
    return true;
}

bool CEraseCoordinator::BeginUserChange(uint64_t actionKey) {
    if (!m_userChangeDecided || actionKey != m_userChangeKey) {
        // The first notification of an action may send the pause, which makes every
        // later one of the same action look like a second action while a pause is pending.
        m_userChangeAllowed = BeginUserChange();
        m_userChangeKey = actionKey;
        m_userChangeDecided = true;
    }
    return m_userChangeAllowed;
}

void CEraseCoordinator::RemoveRows(const std::vector<bool>& selected) {
    std::vector<EraseRowState> states(m_rows.size());
    for (size_t row = 0; row < m_rows.size() && row < selected.size(); ++row) {
        const CEraseOperationBase* operation = m_rows[row].Operation();
        states[row] = {selected[row], operation != nullptr,
                       operation != nullptr ? static_cast<int32_t>(operation->m_status) : 0};
    }
    for (const RemoveStep& step : PlanRemoval(states, m_ranges.m_executingRow)) {
        Row& entry = m_rows[step.row];
        switch (step.action) {
            case RemoveAction::kScrollIntoView:
                if (m_view != nullptr) {
                    m_view->ShowRow(step.row);
                }
                continue;
            case RemoveAction::kReportAndRemove:
                // The operation stays the worker's; its done report finds no row.
                ReportInternalError(L"Expected different status:\n" + entry.Operation()->m_path);
                break;
            case RemoveAction::kUnqueueAndRemove:
                if (!m_queue.RemoveIfWaiting(entry.queued)) {
                    continue;  // the worker took it meanwhile; its reports move the row
                }
                break;
            case RemoveAction::kDiscardAndRemove:
            case RemoveAction::kRemoveRow:
                break;
        }
        DeleteRow(step.row);
    }
}

bool CEraseCoordinator::HasWork() const {
    return m_ranges.m_executingRow >= 0 || m_ranges.m_firstQueuedRow <= m_ranges.m_lastQueuedRow ||
           m_ranges.m_firstNewRow <= m_ranges.m_lastNewRow;
}

void CEraseCoordinator::Shutdown() {
    m_exiting = true;
    m_worker.Stop();  // nothing to do after EndWorker
    m_pendingControl = nullptr;
}

const CEraseOperationBase* CEraseCoordinator::RowOperation(int32_t row) const {
    return row >= 0 && row < RowCount() ? m_rows[row].Operation() : nullptr;
}

int32_t CEraseCoordinator::FindReportedRow(const COperationBase* operation) {
    const int32_t executing = m_ranges.m_executingRow;
    if (executing >= 0 && m_rows[executing].queued == operation) {
        return executing;
    }
    const int32_t firstQueued = m_ranges.m_firstQueuedRow;
    if (executing < 0 && firstQueued <= m_ranges.m_lastQueuedRow &&
        m_rows[firstQueued].queued == operation) {
        m_ranges.m_executingRow = firstQueued;
        m_ranges.m_firstQueuedRow = firstQueued + 1;
        return firstQueued;
    }
    for (int32_t row = 0; row < RowCount(); ++row) {
        if (m_rows[row].queued == operation) {
            // A row a cancellation left over after the worker had taken its operation:
            // that operation runs now, ahead of every queued row.
            if (executing < 0 && row < firstQueued) {
                m_ranges.m_executingRow = row;
            }
            return row;
        }
    }
    ReportInternalError(L"Expected operation status change to be for the executing item:\n" +
                        static_cast<const CEraseOperationBase*>(operation)->m_path);
    return -1;
}

void CEraseCoordinator::DeleteRow(int32_t row) {
    m_rows.erase(m_rows.begin() + row);
    m_ranges.RowDeleted(row);
    if (m_view != nullptr) {
        m_view->RowRemoved(row);
    }
}

void CEraseCoordinator::ReportInternalError(const std::wstring& detail) {
    if (m_view != nullptr) {
        m_view->InternalError(detail);
    }
}

}  // namespace qmz
