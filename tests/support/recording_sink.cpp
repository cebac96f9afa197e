#include "tests/support/recording_sink.h"

namespace qmz {

CRecordingSink::~CRecordingSink() = default;

bool CRecordingSink::Post(uint32_t message, COperationBase* operation) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed) {
        return false;
    }
    m_messages.push_back({message, operation, operation->m_status, operation->m_request});
    if (message == WM_OPERATION_ITEM_RESULT) {
        m_ownedResults.emplace_back(operation);
    }
    m_posted.notify_all();
    return true;
}

bool CRecordingSink::Next(PostedMessage* message, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_posted.wait_for(lock, timeout, [this] { return !m_messages.empty(); })) {
        return false;
    }
    *message = m_messages.front();
    m_messages.pop_front();
    return true;
}

std::vector<PostedMessage> CRecordingSink::UntilDone(COperationBase* operation,
                                                     std::chrono::milliseconds timeout) {
    std::vector<PostedMessage> seen;
    PostedMessage message;
    while (Next(&message, timeout)) {
        seen.push_back(message);
        if (message.message == WM_OPERATION_DONE && message.operation == operation) {
            break;
        }
    }
    return seen;
}

size_t CRecordingSink::Pending() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages.size();
}

void CRecordingSink::Close() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_closed = true;
}

}  // namespace qmz
