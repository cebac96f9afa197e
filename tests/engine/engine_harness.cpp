#include "tests/engine/engine_harness.h"

#include <ostream>

namespace qmz {
namespace {

PlatformServices ServicesFor(IMessageSink* sink, IMessageBox* boxes, IClock* clock, IRandom* random,
                             IFileSystem* fileSystem, bool vistaOrLater) {
    PlatformServices services;
    services.sink = sink;
    services.messageBox = boxes;
    services.clock = clock;
    services.random = random;
    services.fileSystem = fileSystem;
    services.isVistaOrLater = vistaOrLater;
    return services;
}

ResultRecord RecordOf(const COperationBase* record) {
    if (dynamic_cast<const CEraseFile*>(record) != nullptr) {
        return ResultRecord::File;
    }
    if (dynamic_cast<const CEraseFolderOnly*>(record) != nullptr) {
        return ResultRecord::Folder;
    }
    return ResultRecord::FolderAndContents;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const ResultLine& line) {
    const char* kinds[] = {"File", "Folder", "FolderAndContents"};
    return out << kinds[static_cast<int>(line.record)] << " "
               << std::string(line.path.begin(), line.path.end()) << " -> " << line.status;
}

CEngineHarness::CEngineHarness(bool vistaOrLater)
    : m_hooks(&m_sim),
      m_queue(ServicesFor(&m_sink, &m_boxes, &m_clock, &m_random, &m_hooks, vistaOrLater),
              nullptr) {
    m_sim.AddVolume(L'C', kVolumeC, 512, kCluster / 512, 16384);
}

CEngineHarness::CEngineHarness(IFileSystem* fileSystem)
    : m_hooks(fileSystem),
      m_queue(ServicesFor(&m_sink, &m_boxes, &m_clock, &m_random, &m_hooks, true), nullptr) {}

CEngineHarness::~CEngineHarness() {
    m_worker.Stop();
}

RunOutcome CEngineHarness::Run(const CEraseOperationBase& operation) {
    if (!m_worker.Running()) {
        WorkerThreadParams params;
        params.queue = &m_queue;
        params.caption = L"QMZ4";
        m_worker.Start(params);
    }
    COperationBase* queued = m_queue.AppendOperation(operation);
    m_queued = dynamic_cast<CEraseOperationBase*>(queued);
    RunOutcome outcome;
    PostedMessage message;
    while (m_sink.Next(&message)) {
        if (message.message == WM_OPERATION_ITEM_RESULT) {
            auto* record = static_cast<CEraseOperationBase*>(message.operation);
            outcome.lines.push_back(
                {RecordOf(record), record->m_path, message.statusWhenPosted, record->m_userName});
        } else if (message.message == WM_OPERATION_DONE) {
            if (message.operation == queued) {
                break;
            }
            m_queue.RemoveOperation(message.operation);
        }
    }
    outcome.status = m_queued->m_status;
    return outcome;
}

}  // namespace qmz
