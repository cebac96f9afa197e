// The work the main window coordinates, without the window: the queue and its worker,
// the erase list's rows and their bookkeeping, requests turned into rows awaiting
// confirmation, the start-erase command, the user's changes to the rows and the
// worker's reports. The dialog, the automation object, the drop target and the command
// line all talk to it; the dialog mirrors its rows through IEraseListView.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ops/erase_list_rows.h"
#include "ops/operation.h"
#include "ops/operation_queue.h"
#include "ops/worker.h"

namespace qmz {

// What the coordinator tells the window, on the main thread.
class IEraseListView {
public:
    virtual ~IEraseListView() = default;
    virtual void RowInserted(int32_t row, const CEraseOperationBase& operation) = 0;
    virtual void RowStatusChanged(int32_t row, int32_t status) = 0;
    virtual void RowRemoved(int32_t row) = 0;
    virtual void ShowRow(int32_t row) = 0;
    // The pause command was sent (true) or its effect undone by a resume (false).
    virtual void PauseShown(bool paused) = 0;
    // An internal inconsistency, for the error-prefixed message box.
    virtual void InternalError(const std::wstring& detail) = 0;
};

class CEraseCoordinator {
public:
    // `platform` and `sharedCustomMethod` (the settings' writable method record) outlive
    // the coordinator.
    CEraseCoordinator(const PlatformServices* platform, const MethodEntry* sharedCustomMethod);
    // Ends the worker; the operations of rows awaiting confirmation go with their rows.
    ~CEraseCoordinator();
    CEraseCoordinator(const CEraseCoordinator&) = delete;
    CEraseCoordinator& operator=(const CEraseCoordinator&) = delete;

    // The window that mirrors the rows and owns every created operation's message boxes,
    // the title those boxes carry, and the prefix of internal diagnostics.
    void Attach(IEraseListView* view, WindowHandle owner, std::wstring caption,
                std::wstring errorPrefix);
    // Starts the worker thread; false (already reported) when it cannot start.
    bool StartWorker();

    // Lists `operation` as a row awaiting confirmation, its work estimated first. The
    // coordinator gives it the platform, the owner window and the caption. Returns the row.
    int32_t AddRequest(std::unique_ptr<CEraseOperationBase> operation);
    // The start-erase command: every awaiting row goes to the queue, and a resume
    // releases a worker that a pause left holding the queue.
    void StartErase();

    // Decides once per user action whether the rows may change now; while an item runs
    // this sends the pause first. False: drop the action.
    bool BeginUserChange();
    // Removes the selected rows as far as each row's state allows.
    void RemoveRows(const std::vector<bool>& selected);

    // The worker's reports (WM_OPERATION_STATUS, WM_OPERATION_DONE).
    void OnOperationStatus(COperationBase* operation);
    void OnOperationDone(COperationBase* operation);

    // Whether closing would give up work: an executing, queued or awaiting row.
    bool HasWork() const;
    // Ends the worker (CCleanupAndExit) and ignores its later reports.
    void Shutdown();

    int32_t RowCount() const { return static_cast<int32_t>(m_rows.size()); }
    // The row's operation; null for a row left over by a cancellation.
    const CEraseOperationBase* RowOperation(int32_t row) const;
    const EraseListRows& Ranges() const { return m_ranges; }
    bool PauseRequested() const { return m_pausedUi; }
    bool ControlPending() const { return m_pendingControl != nullptr; }

private:
    struct Row {
        std::unique_ptr<CEraseOperationBase> awaiting;  // owned until confirmed
        CEraseOperationBase* queued = nullptr;          // the queue's clone afterwards
        CEraseOperationBase* Operation() const { return awaiting ? awaiting.get() : queued; }
    };

    // The row that a report is about; -1 when no row holds the operation.
    int32_t FindReportedRow(const COperationBase* operation);
    void DeleteRow(int32_t row);
    // Queues a `TControl` as the one pending control operation.
    template <class TControl>
    void InsertPendingControl();
    void ReportInternalError(const std::wstring& detail);

    const PlatformServices* m_platform;
    IEraseListView* m_view = nullptr;
    WindowHandle m_owner = nullptr;
    std::wstring m_caption;
    std::wstring m_errorPrefix;

    std::vector<Row> m_rows;
    EraseListRows m_ranges;
    // The one control operation sent and not yet reported done.
    COperationBase* m_pendingControl = nullptr;
    bool m_pausedUi = false;
    bool m_exiting = false;

    COperationQueue m_queue;
    CWorkerThread m_worker;  // last: ends before the queue it works on
};

}  // namespace qmz
