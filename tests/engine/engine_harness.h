// The erase operations run as in the program: cloned into the real queue, executed by
// the real worker thread, reporting to a recording sink, on a simulated NTFS volume.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/erase_operations.h"
#include "engine/file_erase.h"
#include "engine/method_table.h"
#include "ops/operation_queue.h"
#include "ops/worker.h"
#include "tests/support/sim_platform.h"

namespace qmz {

struct ResultLine {
    ResultLine(ResultRecord r, std::wstring p, int32_t s, std::wstring user = L"")
        : record(r), path(std::move(p)), status(s), userName(std::move(user)) {}
    ResultRecord record = ResultRecord::kFile;
    std::wstring path;
    int32_t status = 0;
    std::wstring userName;
    OperationKind kind = OperationKind::kEraseFile;  // the record's own class
    bool operator==(const ResultLine& o) const {
        return record == o.record && path == o.path && status == o.status;
    }
};
std::ostream& operator<<(std::ostream& out, const ResultLine& line);

struct RunOutcome {
    int32_t status = 0;  // the operation's final m_status
    std::vector<ResultLine> lines;
};

constexpr wchar_t kVolumeC[] = L"\\\\?\\Volume{0000000c-0000-0000-0000-000000000001}\\";
constexpr wchar_t kVolumeD[] = L"\\\\?\\Volume{0000000d-0000-0000-0000-000000000002}\\";
constexpr uint32_t kCluster = 4096;

class CEngineHarness {
public:
    // Volume C: with 4,096-byte clusters; `vistaOrLater` picks how special streams go.
    explicit CEngineHarness(bool vistaOrLater = true);
    // Runs on `fileSystem` (a real one) instead of the simulated volume.
    explicit CEngineHarness(IFileSystem* fileSystem);
    ~CEngineHarness();

    // Its write observer is how a test acts at an exact moment of an operation.
    CSimFileSystem& Sim() { return m_platform.FileSystem(); }
    CFakeClock& Clock() { return m_platform.Clock(); }
    COperationQueue& Queue() { return m_queue; }
    // What the operations run here reach the system through.
    const PlatformServices* Platform() const { return m_platform.Services(); }
    CSimPlatform& SimPlatform() { return m_platform; }

    // Queues a clone of `operation`, lets the worker run it and plays the main window
    // (control operations reported done are removed) until it is done.
    RunOutcome Run(const CEraseOperationBase& operation);
    // The queued clone of the last Run (still owned by the queue).
    CEraseOperationBase* Queued() { return m_queued; }

private:
    CSimPlatform m_platform;
    COperationQueue m_queue;
    CEraseOperationBase* m_queued = nullptr;
    CWorkerThread m_worker;  // last: stopped before anything it uses goes away
};

template <class T>
T MakeOperation(const std::wstring& path, int32_t method) {
    T operation;
    operation.m_path = path;
    operation.m_method = LookupMethod(method);
    operation.m_userName = L"QMZ\\tester";
    return operation;
}

// Method numbers used by the tests.
constexpr int32_t kQuickZero = 0;
constexpr int32_t kNcsc = 3;    // 0x00, 0xFF, 0xE5
constexpr int32_t kDoD = 7;     // 0x55, 0xAA, random, verify
constexpr int32_t kVsitr = 16;  // seven passes, the last 0xAA
constexpr int32_t kNop = kNopMethodNumber;

}  // namespace qmz
