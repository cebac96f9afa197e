// A message sink that stands in for the main window: posts are recorded in order
// (with the status the operation had when it was posted) and read by the test.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "ops/operation.h"
#include "platform/message_sink.h"

namespace qmz {

struct PostedMessage {
    uint32_t message = 0;
    COperationBase* operation = nullptr;
    int32_t statusWhenPosted = 0;
    int32_t requestWhenPosted = 0;
};

class CRecordingSink : public IMessageSink {
public:
    ~CRecordingSink() override;
    bool Post(uint32_t message, COperationBase* operation) override;

    // Waits up to `timeout` for the next message; false on time-out.
    bool Next(PostedMessage* message, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Waits until WM_OPERATION_DONE is posted for `operation`, collecting everything
    // posted until then (that message included).
    std::vector<PostedMessage> UntilDone(
        COperationBase* operation, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    size_t Pending();
    // Refuse posts from now on, as a window that is gone would.
    void Close();

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<PostedMessage> m_messages;
    // Item-result records belong to the receiver; they are kept until the sink dies.
    std::vector<std::unique_ptr<COperationBase>> m_ownedResults;
    bool m_closed = false;
};

}  // namespace qmz
