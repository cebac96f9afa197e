// The work the main window coordinates, without the window: the queue and its worker,
// the erase list's rows and their bookkeeping, requests turned into rows awaiting
// confirmation, the start-erase and control commands, the user's changes to the rows,
// the worker's reports (rows, results, counters, elapsed time) and the exit sequence.
// The dialog, the automation object, the drop target and the command line all talk to
// it; the dialog mirrors it through IEraseListView.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ops/erase_list_rows.h"
#include "ops/erase_list_view.h"
#include "ops/operation.h"
#include "ops/operation_queue.h"
#include "ops/worker.h"

namespace qmz {

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
    // The user's desktop folder, refreshed in Explorer when an item below it is erased.
    void SetDesktopFolder(std::wstring path) { m_desktopFolder = std::move(path); }
    // Starts the worker thread; false (already reported) when it cannot start.
    bool StartWorker();

    // Lists `operation` as a row awaiting confirmation, its work estimated first. The
    // coordinator gives it the platform, the owner window and the caption. Returns the row.
    int32_t AddRequest(std::unique_ptr<CEraseOperationBase> operation);
    // The start-erase command: every awaiting row goes to the queue, and a resume
    // releases a worker that a pause left holding the queue.
    void StartErase();

    // Control commands; each is dropped while another is still on its way, except that
    // finishing the item always cancels the rows that have not started.
    void Pause();   // pause now: the executing item holds, the queue waits
    void Resume();  // resume the paused item and the queue
    // The pause button (or Esc): pauses unless a command is on its way; true when the
    // window should then pop up the pause menu, which a click closing it must not reopen.
    bool PressPauseButton();
    // After the pause menu closed, or right after PressPauseButton when it gave false.
    void PauseMenuClosed();
    bool ItemExecuting() const { return m_ranges.m_executingRow >= 0; }
    void AbortItem();    // aborts the executing item (the window asks first)
    void FinishCycle();  // the item stops after the current pass
    void FinishFile();   // the item stops after the current file
    void FinishItem();   // the item runs to its end, nothing after it starts

    // Whether the rows may change now; while an item runs this sends the pause first.
    // False: drop the action. Decides anew on every call.
    bool BeginUserChange();
    // The same, decided once for every call with the same `actionKey`: one click or key
    // press that the list reports as several changes pauses once and applies them all.
    bool BeginUserChange(uint64_t actionKey);
    // Removes the selected rows as far as each row's state allows.
    void RemoveRows(const std::vector<bool>& selected);

    // The worker's reports (WM_OPERATION_STATUS, WM_OPERATION_DONE).
    void OnOperationStatus(COperationBase* operation);
    void OnOperationDone(COperationBase* operation);
    // WM_OPERATION_ITEM_RESULT: one file's or folder's result. Takes `record` over.
    void OnItemResult(COperationBase* record);

    // Whether closing would give up work: an executing, queued or awaiting row.
    bool HasWork() const;
    // First step of exiting: pauses and then aborts the executing item, each waited for.
    void PauseAndDiscardForExit();
    // Last step of exiting: ends the worker (CCleanupAndExit) and waits until its thread
    // has; later reports are ignored. False when the worker could not be told to end.
    bool EndWorker();
    // Ends the worker if it still runs, without pausing or aborting first, and ignores its
    // later reports. Safe after EndWorker.
    void Shutdown();

    int32_t RowCount() const { return static_cast<int32_t>(m_rows.size()); }
    // The row's operation; null for a row left over by a cancellation (unless the worker
    // had already taken it: then the row keeps it until its done report).
    const CEraseOperationBase* RowOperation(int32_t row) const;
    const EraseListRows& Ranges() const { return m_ranges; }
    bool PauseRequested() const { return m_pausedUi; }
    bool ControlPending() const { return m_pendingControl != nullptr; }
    bool WorkerRunning() const { return m_worker.Running(); }

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
    void InsertPendingControl() {
        TControl command;
        InsertPendingControl(&command);
    }
    void InsertPendingControl(COperationBase* command);
    void SendPause();
    // The rows that have not started: out of the queue and shown aborted.
    void CancelWaitingRows();
    // The pending control operation is no longer waited for; its done report frees it.
    void RetirePendingControl();
    // Sends a `TControl` and waits until the worker has carried it out.
    template <class TControl>
    void SendControlAndWait() {
        TControl command;
        SendControlAndWait(&command);
    }
    void SendControlAndWait(COperationBase* command);
    void TrackElapsed(int32_t status);
    void AddResultRow(const CEraseOperationBase& operation);
    void NotifyShell(const CEraseOperationBase& record);
    void ReportInternalError(const std::wstring& detail);

    const PlatformServices* m_platform;
    IEraseListView* m_view = nullptr;
    WindowHandle m_owner = nullptr;
    std::wstring m_caption;
    std::wstring m_errorPrefix;
    std::wstring m_desktopFolder;

    std::vector<Row> m_rows;
    EraseListRows m_ranges;
    // The one control operation sent and not yet reported done.
    COperationBase* m_pendingControl = nullptr;
    // Control operations sent but superseded: freed when reported done, or with the queue.
    std::vector<COperationBase*> m_retiredControls;
    bool m_pausedUi = false;
    bool m_exiting = false;
    uint32_t m_lastPauseClick = 0;
    // The decision for the user action being handled.
    bool m_userChangeDecided = false;
    uint64_t m_userChangeKey = 0;
    bool m_userChangeAllowed = false;

    // Time items have run, pauses left out; never reset while the program runs.
    int32_t m_elapsedRunning = 0;
    uint32_t m_elapsedStart = 0;
    uint32_t m_elapsedTotal = 0;
    ResultCounters m_counters;
    uint32_t m_itemFailureCount = 0;  // of the executing item

    COperationQueue m_queue;
    CWorkerThread m_worker;  // last: ends before the queue it works on
};

}  // namespace qmz
