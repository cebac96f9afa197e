// The worker's reports: row status, elapsed time, results rows, counters and the shell's
// change notices.
#include <algorithm>

#include "ops/erase_coordinator.h"
#include "ops/no_case.h"

namespace qmz {
namespace {

bool EndsRunning(int32_t status) {
    switch (status) {
        case StatusPaused:
        case StatusCompleted:
        case StatusFailedSystemFile:
        case StatusFailedOther:
        case StatusAborted:
            return true;
        default:
            return false;
    }
}

int32_t ResultGroup(int32_t status) {
    switch (status) {
        case StatusCompleted:
            return kResultGroupCompleted;
        case StatusFailedSystemFile:
        case StatusFailedOther:
        case StatusAborted:
            return kResultGroupFailed;
        default:
            return kResultGroupNone;
    }
}

}  // namespace

void CEraseCoordinator::OnOperationStatus(COperationBase* operation) {
    if (m_exiting || operation == nullptr || operation == m_pendingControl ||
        operation->m_isControl != 0) {
        return;
    }
    const int32_t row = FindReportedRow(operation);
    if (row < 0) {
        return;
    }
    const int32_t status = operation->m_status;
    if (m_view != nullptr) {
        m_view->RowStatusChanged(row, status);
    }
    TrackElapsed(status);
}

void CEraseCoordinator::OnOperationDone(COperationBase* operation) {
    // After the exit sequence the reports may name operations that are gone.
    if (m_exiting || operation == nullptr) {
        return;
    }
    if (operation == m_pendingControl) {
        m_pendingControl = nullptr;
        m_queue.RemoveOperation(operation);
        return;
    }
    auto retired = std::find(m_retiredControls.begin(), m_retiredControls.end(), operation);
    if (retired != m_retiredControls.end()) {
        m_retiredControls.erase(retired);
        m_queue.RemoveOperation(operation);
        return;
    }
    if (operation->m_isControl != 0) {
        return;
    }
    const int32_t row = FindReportedRow(operation);
    if (row < 0) {
        return;  // reported; the operation stays in the queue
    }
    AddResultRow(*static_cast<CEraseOperationBase*>(operation));
    DeleteRow(row);
    m_queue.RemoveOperation(operation);
    if (m_rows.empty() && m_view != nullptr) {
        m_view->EraseListEmptied();
    }
}

void CEraseCoordinator::OnItemResult(COperationBase* record) {
    std::unique_ptr<COperationBase> owned(record);
    auto* result = dynamic_cast<CEraseOperationBase*>(owned.get());
    if (m_exiting || result == nullptr) {
        return;
    }
    if (m_view != nullptr) {
        m_view->ItemFinished(*result);  // logged before it counts
    }
    const int32_t status = result->m_status;
    switch (status) {
        case StatusCompleted:
            ++m_counters.erased;
            break;
        case StatusFailedSystemFile:
            ++m_counters.failedSystem;
            ++m_itemFailureCount;
            break;
        case StatusFailedOther:
        case StatusAborted:
            ++m_counters.failedOther;
            ++m_itemFailureCount;
            break;
        default:
            break;
    }
    if (m_view != nullptr) {
        m_view->CountersChanged(m_counters);
    }
    if (status == StatusCompleted) {
        NotifyShell(*result);
    }
}

void CEraseCoordinator::TrackElapsed(int32_t status) {
    IClock* clock = m_platform->clock;
    if (m_elapsedRunning != 0) {
        if (!EndsRunning(status)) {
            return;
        }
        m_elapsedRunning = 0;
        m_elapsedTotal += clock->TickCount() - m_elapsedStart;  // wraps like the tick count
        if (m_view != nullptr) {
            m_view->ElapsedStopped(m_elapsedTotal);
        }
    } else if (status == StatusExecuting) {
        m_elapsedRunning = 1;
        m_elapsedStart = clock->TickCount();
        if (m_view != nullptr) {
            m_view->ElapsedStarted();
        }
    }
}

void CEraseCoordinator::AddResultRow(const CEraseOperationBase& operation) {
    ResultRow line;
    const size_t slash = operation.m_path.rfind(L'\\');
    line.name = slash == std::wstring::npos ? operation.m_path : operation.m_path.substr(slash + 1);
    line.path = operation.m_path;
    line.kindName = operation.KindName();
    line.status = operation.m_status;
    line.group = ResultGroup(line.status);
    line.failureCount = m_itemFailureCount;
    m_itemFailureCount = 0;
    if (m_view != nullptr) {
        m_view->ResultAdded(line);
    }
}

void CEraseCoordinator::NotifyShell(const CEraseOperationBase& record) {
    IShell* shell = m_platform->shell;
    if (shell == nullptr) {
        return;
    }
    const std::wstring& path = record.m_path;
    switch (record.Kind()) {
        case OperationKind::kEraseFile:
            shell->NotifyChange(ShellChange::kDeleted, path);
            break;
        case OperationKind::kEraseFolderOnly:
            shell->NotifyChange(ShellChange::kFolderRemoved, path);
            break;
        default:
            break;
    }
    // Newer Explorers keep showing an erased desktop item until the desktop is refreshed.
    if (!m_platform->isVistaOrLater || m_desktopFolder.empty() ||
        !StartsWithNoCase(path, m_desktopFolder)) {
        return;
    }
    const size_t slash = path.rfind(L'\\');
    if (slash != std::wstring::npos && slash >= m_desktopFolder.size()) {
        shell->NotifyChange(ShellChange::kFolderUpdated, m_desktopFolder);
    }
}

}  // namespace qmz
