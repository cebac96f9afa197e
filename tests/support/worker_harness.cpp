#include "tests/support/worker_harness.h"

#include "settings/string_table.h"

namespace qmz {
CWorkerHarness::CWorkerHarness(const MethodEntry* sharedCustomMethod)
    : m_queue(&m_platform.Sink(), sharedCustomMethod) {}

CWorkerHarness::~CWorkerHarness() {
    m_worker.Stop();
}

void CWorkerHarness::StartWorker() {
    WorkerThreadParams params;
    params.queue = &m_queue;
    params.messageBox = &m_platform.MessageBoxes();
    params.caption = BuiltinString(IDS_APPLICATION_TITLE);
    params.errorPrefix = BuiltinString(IDS_ERROR_MESSAGE_PREFIX);
    m_worker.Start(params);
}

COperationBase* CWorkerHarness::Append(const CEraseOperationBase& operation) {
    return AppendWithPlatform(&m_queue, operation, m_platform.Services());
}

std::vector<PostedMessage> CWorkerHarness::RunUntilDone(COperationBase* operation) {
    std::vector<PostedMessage> seen;
    PostedMessage message;
    while (Sink().Next(&message)) {
        seen.push_back(message);
        if (message.message == WM_OPERATION_DONE) {
            m_queue.RemoveOperation(message.operation);
            if (message.operation == operation) {
                break;
            }
        }
    }
    return seen;
}

std::vector<PostedMessage> MessagesFor(const std::vector<PostedMessage>& all,
                                       const COperationBase* operation) {
    std::vector<PostedMessage> mine;
    for (const PostedMessage& message : all) {
        if (message.operation == operation) {
            mine.push_back(message);
        }
    }
    return mine;
}

}  // namespace qmz
