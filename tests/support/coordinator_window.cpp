#include "tests/support/coordinator_window.h"

#include <algorithm>

namespace qmz {

CCoordinatorWindow::CCoordinatorWindow(CSimPlatform* platform, CEraseCoordinator* coordinator)
    : m_platform(platform), m_coordinator(coordinator) {
    m_coordinator->Attach(this, nullptr, L"QMZ4", L"prefix: ");
}

bool CCoordinatorWindow::PumpUntil(const std::function<bool()>& done) {
    PostedMessage message;
    while (!done()) {
        if (!m_platform->Sink().Next(&message)) {
            return false;
        }
        switch (message.message) {
            case WM_OPERATION_STATUS:
                m_coordinator->OnOperationStatus(message.operation);
                break;
            case WM_OPERATION_DONE:
                // Every reported operation lives until its done report is handled, except
                // the exit request, which the coordinator frees after the worker ended.
                if (m_coordinator->WorkerRunning() && message.operation->m_isControl != 0) {
                    ++m_controlsDone;
                }
                m_coordinator->OnOperationDone(message.operation);
                break;
            case WM_OPERATION_ITEM_RESULT: {
                // The sink keeps the record it was handed; the coordinator owns (and
                // frees) what it is given, so it gets a copy.
                const COperationBase* record = message.operation;
                m_results.push_back(static_cast<const CEraseOperationBase*>(record)->m_path + L" " +
                                    std::to_wstring(message.statusWhenPosted));
                m_coordinator->OnItemResult(record->Clone().release());
                break;
            }
            default:
                break;
        }
    }
    return true;
}

void CCoordinatorWindow::CountersChanged(const ResultCounters& counters) {
    m_progress.push_back(L"counters " + std::to_wstring(counters.erased) + L" " +
                         std::to_wstring(counters.failedSystem) + L" " +
                         std::to_wstring(counters.failedOther));
}

bool CCoordinatorWindow::Called(const std::wstring& call) const {
    return std::find(m_calls.begin(), m_calls.end(), call) != m_calls.end();
}

}  // namespace qmz
