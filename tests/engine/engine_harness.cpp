#include "tests/engine/engine_harness.h"

#include <ostream>

#ifdef _WIN32
#include "platform/win32/system_version.h"
#endif

namespace qmz {
namespace {

// Real files go with the real system's answer, so that a run under a Wine that reports
// Windows XP takes the pre-Vista paths.
bool RealIsVistaOrLater() {
#ifdef _WIN32
    return IsVistaOrLater(ReadSystemVersion());
#else
    return true;
#endif
}

ResultRecord RecordOf(const COperationBase* record) {
    if (dynamic_cast<const CEraseFile*>(record) != nullptr) {
        return ResultRecord::kFile;
    }
    if (dynamic_cast<const CEraseFolderOnly*>(record) != nullptr) {
        return ResultRecord::kFolder;
    }
    return ResultRecord::kFolderAndContents;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const ResultLine& line) {
    const char* kinds[] = {"File", "Folder", "FolderAndContents"};
    return out << kinds[static_cast<int>(line.record)] << " "
               << std::string(line.path.begin(), line.path.end()) << " -> " << line.status;
}

CEngineHarness::CEngineHarness(bool vistaOrLater)
    : m_platform(vistaOrLater, 7), m_queue(&m_platform.Sink(), nullptr) {
    Sim().AddVolume(L'C', kVolumeC, 512, kCluster / 512, 16384);
}

CEngineHarness::CEngineHarness(IFileSystem* fileSystem)
    : m_platform(RealIsVistaOrLater(), 7), m_queue(&m_platform.Sink(), nullptr) {
    m_platform.UseFileSystem(fileSystem);
}

CEngineHarness::~CEngineHarness() {
    m_worker.Stop();
}

RunOutcome CEngineHarness::Run(const CEraseOperationBase& operation) {
    if (!m_worker.Running()) {
        WorkerThreadParams params;
        params.queue = &m_queue;
        params.messageBox = &m_platform.MessageBoxes();
        params.caption = L"QMZ4";
        m_worker.Start(params);
    }
    COperationBase* queued = AppendWithPlatform(&m_queue, operation, m_platform.Services());
    m_queued = dynamic_cast<CEraseOperationBase*>(queued);
    RunOutcome outcome;
    PostedMessage message;
    // A fill of gibibytes posts nothing until it ends, and sanitizers slow it down.
    while (m_platform.Sink().Next(&message, std::chrono::seconds(120))) {
        if (message.message == WM_OPERATION_ITEM_RESULT) {
            auto* record = static_cast<CEraseOperationBase*>(message.operation);
            outcome.lines.push_back(
                {RecordOf(record), record->m_path, message.statusWhenPosted, record->m_userName});
            outcome.lines.back().kind = record->Kind();
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
