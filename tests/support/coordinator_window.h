// Plays the main window for a coordinator on the simulated platform: the reports the
// worker posts are handed to the coordinator in order, and what the coordinator tells
// its view is written down as lines a test can compare.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ops/erase_coordinator.h"
#include "tests/support/sim_platform.h"

namespace qmz {

class CCoordinatorWindow : public IEraseListView {
public:
    // Attaches itself as the coordinator's view.
    CCoordinatorWindow(CSimPlatform* platform, CEraseCoordinator* coordinator);

    // Hands reports to the coordinator until `done` holds; false when the worker went
    // quiet for the sink's time-out first.
    bool PumpUntil(const std::function<bool()>& done);
    // The item results posted so far, as "path status".
    const std::vector<std::wstring>& Results() const { return m_results; }
    // The view calls about rows so far, e.g. "insert 0 C:\\a.txt", "status 0 3", "remove 0".
    const std::vector<std::wstring>& Calls() const { return m_calls; }
    bool Called(const std::wstring& call) const;
    std::vector<std::wstring> InternalErrors() const { return m_errors; }
    // The other view calls: "started", "elapsed 1500", "counters 1 0 2", "list empty".
    const std::vector<std::wstring>& Progress() const { return m_progress; }
    const std::vector<ResultRow>& ResultRows() const { return m_resultRows; }
    // Control operations the worker reported done while it ran.
    int ControlsDone() const { return m_controlsDone; }

    void RowInserted(int32_t row, const CEraseOperationBase& operation) override {
        Record(L"insert " + std::to_wstring(row) + L" " + operation.m_path);
    }
    void RowStatusChanged(int32_t row, int32_t status) override {
        Record(L"status " + std::to_wstring(row) + L" " + std::to_wstring(status));
    }
    void RowRemoved(int32_t row) override { Record(L"remove " + std::to_wstring(row)); }
    void ShowRow(int32_t row) override { Record(L"show " + std::to_wstring(row)); }
    void PauseShown(bool paused) override { Record(paused ? L"paused" : L"not paused"); }
    void InternalError(const std::wstring& detail) override { m_errors.push_back(detail); }
    void ElapsedStarted() override { m_progress.push_back(L"started"); }
    void ElapsedStopped(uint32_t total) override {
        m_progress.push_back(L"elapsed " + std::to_wstring(total));
    }
    void CountersChanged(const ResultCounters& counters) override;
    void ResultAdded(const ResultRow& row) override { m_resultRows.push_back(row); }
    void EraseListEmptied() override { m_progress.push_back(L"list empty"); }

private:
    void Record(const std::wstring& call) { m_calls.push_back(call); }

    CSimPlatform* m_platform;
    CEraseCoordinator* m_coordinator;
    std::vector<std::wstring> m_calls;
    std::vector<std::wstring> m_results;
    std::vector<std::wstring> m_errors;
    std::vector<std::wstring> m_progress;
    std::vector<ResultRow> m_resultRows;
    int m_controlsDone = 0;
};

}  // namespace qmz
