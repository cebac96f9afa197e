// A test-only erase operation that works the way the engine does: files of passes of
// chunks, a check point before every chunk, the finish-cycle latch tested after each
// pass and the finish-file latch after each file. A gate can hold it at one chunk so
// that a test can insert control operations at an exact point.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ops/operation.h"

namespace qmz {

// Holds the worker at one point until the test releases it.
class CGate {
public:
    void Arrive();       // worker: announce and wait for Release
    void WaitArrived();  // test: wait until the worker stands at the gate
    void Release();      // test
private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_arrived = false;
    bool m_released = false;
};

struct ChunkPosition {
    int file = 0;
    int pass = 0;
    int chunk = 0;
    bool operator==(const ChunkPosition& o) const {
        return file == o.file && pass == o.pass && chunk == o.chunk;
    }
};

// What the operation did, shared by the original and its queued clone.
struct TestEraseLog {
    std::mutex mutex;
    std::vector<ChunkPosition> chunksWritten;
    std::vector<int> filesCompleted;
    int executions = 0;
    // Objects of the family (the original and every copy) not yet destroyed: whoever
    // owns a queued clone or an undelivered record is seen to free it in every build,
    // not only under the leak checker.
    std::atomic<int> liveObjects{0};
};

// Counts its owner in the log's liveObjects from construction (copies included) to
// destruction.
class CLiveMark {
public:
    explicit CLiveMark(std::shared_ptr<TestEraseLog> log) : m_log(std::move(log)) {
        ++m_log->liveObjects;
    }
    CLiveMark(const CLiveMark& other) : CLiveMark(other.m_log) {}
    CLiveMark& operator=(const CLiveMark&) = delete;
    ~CLiveMark() { --m_log->liveObjects; }

private:
    std::shared_ptr<TestEraseLog> m_log;
};

class CTestEraseOperation : public CEraseOperationBase {
public:
    CTestEraseOperation(int files, int passes, int chunks);

    void Execute() override;
    std::unique_ptr<COperationBase> Clone() const override { return CloneOf(*this); }
    void EstimateWork() override {}
    const std::wstring& KindName() const override { return m_kindName; }
    OperationKind Kind() const override { return m_kind; }
    void SetKind(OperationKind kind) { m_kind = kind; }

    // Hold at this chunk (before its check point) on the gate.
    void HoldAt(ChunkPosition position, std::shared_ptr<CGate> gate) {
        m_holdAt = position;
        m_gate = std::move(gate);
    }
    std::shared_ptr<TestEraseLog> Log() const { return m_log; }

private:
    bool EraseFile(int file);  // false: the item stops

    int m_files;
    int m_passes;
    int m_chunks;
    ChunkPosition m_holdAt{-1, -1, -1};
    std::shared_ptr<CGate> m_gate;
    std::shared_ptr<TestEraseLog> m_log = std::make_shared<TestEraseLog>();
    CLiveMark m_liveMark{m_log};  // after m_log, which it counts in
    std::wstring m_kindName = L"test erase";
    OperationKind m_kind = OperationKind::kEraseFile;
};

// An operation whose clone cannot be made, as when memory runs out.
class CUncloneableOperation : public CEraseOperationBase {
public:
    void Execute() override {}
    std::unique_ptr<COperationBase> Clone() const override { return nullptr; }
    void EstimateWork() override {}
    const std::wstring& KindName() const override { return m_name; }
    OperationKind Kind() const override { return OperationKind::kEraseFile; }

private:
    std::wstring m_name;
};

}  // namespace qmz
