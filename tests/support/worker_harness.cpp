#include "tests/support/worker_harness.h"

#include "app/string_table.h"

namespace qmz {
namespace {

PlatformServices MakeServices(IMessageSink* sink, IClock* clock, IRandom* random,
                              IMessageBox* messageBox) {
    PlatformServices services;
    services.sink = sink;
    services.clock = clock;
    services.random = random;
    services.messageBox = messageBox;
    return services;
}

}  // namespace

CWorkerHarness::CWorkerHarness(const MethodEntry* sharedCustomMethod)
    : m_services(MakeServices(&m_sink, &m_clock, &m_random, &m_messageBoxes)),
      m_queue(m_services, sharedCustomMethod) {}

CWorkerHarness::~CWorkerHarness() {
    m_worker.Stop();
}

void CWorkerHarness::StartWorker() {
    WorkerThreadParams params;
    params.queue = &m_queue;
    params.caption = BuiltinString(kIdsApplicationTitle);
    params.errorPrefix = BuiltinString(kIdsErrorMessagePrefix);
    m_worker.Start(params);
}

std::vector<PostedMessage> CWorkerHarness::RunUntilDone(COperationBase* operation) {
    std::vector<PostedMessage> seen;
    PostedMessage message;
    while (m_sink.Next(&message)) {
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
