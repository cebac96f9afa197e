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
                m_coordinator->OnOperationDone(message.operation);
                break;
            case WM_OPERATION_ITEM_RESULT:  // the sink keeps the record
                m_results.push_back(static_cast<CEraseOperationBase*>(message.operation)->m_path +
                                    L" " + std::to_wstring(message.statusWhenPosted));
                break;
            default:
                break;
        }
    }
    return true;
}

bool CCoordinatorWindow::Called(const std::wstring& call) const {
    return std::find(m_calls.begin(), m_calls.end(), call) != m_calls.end();
}

}  // namespace qmz
