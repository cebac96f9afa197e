// A coordinator with its window on the simulated platform, and an item whose course a
// test scripts: where it holds, which file results it posts and how it ends.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ops/erase_coordinator.h"
#include "tests/support/coordinator_window.h"
#include "tests/support/test_erase_operation.h"

namespace qmz {

// One file or folder result an item posts, as the engine does, before it ends.
struct ScriptedResult {
    std::wstring path;
    int32_t status = StatusCompleted;
    OperationKind kind = OperationKind::kEraseFile;
};

// An item of `steps` check points that can hold on a gate before any of them. Stopped by
// an abort it ends aborted, otherwise with its scripted end status.
class CScriptedItem : public CEraseOperationBase {
public:
    CScriptedItem(std::wstring path, int steps);

    void Execute() override;
    std::unique_ptr<COperationBase> Clone() const override { return CloneOf(*this); }
    void EstimateWork() override {}
    const std::wstring& KindName() const override { return m_kindName; }
    OperationKind Kind() const override { return m_kind; }

    CScriptedItem& HoldBefore(int step, std::shared_ptr<CGate> gate);
    CScriptedItem& Post(ScriptedResult result);
    CScriptedItem& EndWith(int32_t status);
    CScriptedItem& OfKind(OperationKind kind);
    // Check points passed, shared by every copy.
    int StepsDone() const { return m_stepsDone->load(); }

private:
    int m_steps;
    std::map<int, std::shared_ptr<CGate>> m_gates;
    std::vector<ScriptedResult> m_results;
    int32_t m_endStatus = StatusCompleted;
    OperationKind m_kind = OperationKind::kEraseFile;
    std::wstring m_kindName = L"scripted";
    std::shared_ptr<std::atomic<int>> m_stepsDone = std::make_shared<std::atomic<int>>(0);
};

class CCoordinatorRig {
public:
    explicit CCoordinatorRig(bool vistaOrLater = true);
    // Opens every gate, so that a failed test ends instead of holding its worker forever.
    ~CCoordinatorRig();

    // A gate that the rig opens when it goes.
    std::shared_ptr<CGate> NewGate();

    // Lists `item` as an awaiting row and returns its row; the item's copies share what
    // it records, so the caller may keep watching `item`.
    int32_t Add(const CEraseOperationBase& item);
    // The start-erase command, then the worker (queued first, the resume runs first).
    bool Start();
    bool PumpUntil(const std::function<bool()>& done) { return m_window.PumpUntil(done); }
    // Hands over every report posted so far.
    bool PumpAll();
    // The row's lines of Calls(): "status 1 8" or "remove 1", in order.
    std::vector<std::wstring> RowCalls(int32_t row) const;

    CSimPlatform& Platform() { return m_platform; }
    CEraseCoordinator& Coordinator() { return m_coordinator; }
    CCoordinatorWindow& Window() { return m_window; }

private:
    std::vector<std::shared_ptr<CGate>> m_gates;
    CSimPlatform m_platform;
    CEraseCoordinator m_coordinator;
    CCoordinatorWindow m_window;
};

}  // namespace qmz
