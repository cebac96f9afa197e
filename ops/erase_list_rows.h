// Bookkeeping of the erase list's rows: which rows execute, wait in the queue or await
// confirmation, what removing a selection does to each row and its operation, and
// when the user may change the rows at all.
#pragma once

#include <cstdint>
#include <vector>

namespace qmz {

// Rows are kept as: the executing row, the queued rows, the rows awaiting confirmation.
// A range is empty when its first index is greater than its last.
struct EraseListRows {
    int32_t m_executingRow = -1;
    int32_t m_firstQueuedRow = 0;
    int32_t m_lastQueuedRow = -1;
    int32_t m_firstNewRow = 0;
    int32_t m_lastNewRow = -1;

    // Keeps every index on the same row after row `row` was deleted from the list.
    void RowDeleted(int32_t row);
    // The rows that have not started: from the row after the executing one (or the first
    // queued row, or the first awaiting row) to the last awaiting row.
    int32_t FirstWaitingRow() const;
    int32_t LastWaitingRow() const;
    // After a cancellation no row waits: the queued and awaiting ranges become empty
    // behind the list's `rowCount` rows, where new rows are added.
    void EmptyWaitingRanges(int32_t rowCount);
};

struct EraseRowState {
    bool selected = false;
    bool hasOperation = false;  // rows left over by a cancellation have none
    int32_t status = 0;         // the operation's status when it has one
};

enum class RemoveAction {
    kRemoveRow,         // a left-over row: nothing else to do
    kDiscardAndRemove,  // awaiting confirmation: the row owns the operation
    kUnqueueAndRemove,  // queued: take it out of the queue, which destroys it
    // Any other status: reported as unexpected; the row goes, the operation stays with
    // the worker, whose done report frees it.
    kReportAndRemove,
    kScrollIntoView,  // the executing row is never removed, only shown
};

struct RemoveStep {
    int32_t row = 0;
    RemoveAction action = RemoveAction::kRemoveRow;
};

// Whether a user change of the erase list may go ahead while the worker runs.
enum class UserChangeGate {
    kApply,           // nothing executes
    kPauseThenApply,  // an item executes: pause it first, then change the rows
    kIgnore,          // a control operation is still pending: drop the change
};
UserChangeGate GateUserChange(bool itemExecuting, bool controlPending);

// What removing the selected rows does, highest row first so that carrying the steps
// out in order keeps the lower row indexes valid.
std::vector<RemoveStep> PlanRemoval(const std::vector<EraseRowState>& rows, int32_t executingRow);

}  // namespace qmz
