// What the coordinator tells the main window: the erase list's rows, the results list,
// the counters and the elapsed time. Called on the main thread only.
#pragma once

#include <cstdint>
#include <string>

#include "ops/operation.h"

namespace qmz {

// Groups of the results list (list-view group ids).
constexpr int32_t kResultGroupFailed = 3;
constexpr int32_t kResultGroupCompleted = 4;
constexpr int32_t kResultGroupNone = -2;  // I_GROUPIDNONE: shown outside both groups

// One line of the results list, for an erase-list item that has ended.
struct ResultRow {
    std::wstring name;  // the path after its last backslash, empty for "C:\\dir\\"
    std::wstring path;
    std::wstring kindName;
    int32_t status = 0;
    int32_t group = kResultGroupNone;
    uint32_t failureCount = 0;  // files and folders of the item that failed or were aborted
};

// The files and folders erased or not, over the program's whole run.
struct ResultCounters {
    uint32_t erased = 0;
    uint32_t failedSystem = 0;
    uint32_t failedOther = 0;  // failed for another reason, or aborted
};

// The newer calls have empty bodies so that a window keeps building before it uses them.
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

    // An item started or resumed: the elapsed time runs again (the tray animates).
    virtual void ElapsedStarted() {}
    // An item paused or ended: `totalMilliseconds` is all the time items have run.
    virtual void ElapsedStopped(uint32_t /*totalMilliseconds*/) {}
    // A file or folder of the running item finished (the window logs it); the counters
    // change right after this call. `record` lives only for the call.
    virtual void ItemFinished(const CEraseOperationBase& /*record*/) {}
    // A file or folder result arrived.
    virtual void CountersChanged(const ResultCounters& /*counters*/) {}
    // An item ended; its row leaves the erase list right after this call.
    virtual void ResultAdded(const ResultRow& /*row*/) {}
    // The last row left the erase list (the window shows the results).
    virtual void EraseListEmptied() {}
};

}  // namespace qmz
