#include "ops/erase_list_rows.h"

namespace qmz {
namespace {

constexpr int32_t kAwaitingConfirmation = 0;
constexpr int32_t kQueued = 2;

void ShiftRange(int32_t row, int32_t* first, int32_t* last) {
    if (*first > row) {
        --*first;
    }
    if (*last >= row) {
        --*last;
    }
}

}  // namespace

void EraseListRows::RowDeleted(int32_t row) {
    ShiftRange(row, &m_firstQueuedRow, &m_lastQueuedRow);
    ShiftRange(row, &m_firstNewRow, &m_lastNewRow);
    if (m_executingRow == row) {
        m_executingRow = -1;
    } else if (m_executingRow > row) {
        --m_executingRow;
    }
}

int32_t EraseListRows::FirstWaitingRow() const {
    if (m_executingRow >= 0) {
        return m_executingRow + 1;
    }
    return m_firstQueuedRow <= m_lastQueuedRow ? m_firstQueuedRow : m_firstNewRow;
}

int32_t EraseListRows::LastWaitingRow() const {
    // Both ranges end on the same row unless one is empty in front of the other.
    return m_lastNewRow > m_lastQueuedRow ? m_lastNewRow : m_lastQueuedRow;
}

void EraseListRows::EmptyWaitingRanges(int32_t rowCount) {
    m_firstQueuedRow = rowCount;
    m_lastQueuedRow = rowCount - 1;
    m_firstNewRow = rowCount;
    m_lastNewRow = rowCount - 1;
}

std::vector<RemoveStep> PlanRemoval(const std::vector<EraseRowState>& rows, int32_t executingRow) {
    std::vector<RemoveStep> steps;
    for (int32_t row = static_cast<int32_t>(rows.size()) - 1; row >= 0; --row) {
        const EraseRowState& state = rows[row];
        if (!state.selected) {
            continue;
        }
        RemoveAction action;
        if (row == executingRow) {
            action = RemoveAction::kScrollIntoView;
        } else if (!state.hasOperation) {
            action = RemoveAction::kRemoveRow;
        } else if (state.status == kAwaitingConfirmation) {
            action = RemoveAction::kDiscardAndRemove;
        } else if (state.status == kQueued) {
            action = RemoveAction::kUnqueueAndRemove;
        } else {
            action = RemoveAction::kReportAndRemove;
        }
        steps.push_back({row, action});
    }
    return steps;
}

UserChangeGate GateUserChange(bool itemExecuting, bool controlPending) {
    if (!itemExecuting) {
        return UserChangeGate::kApply;
    }
    return controlPending ? UserChangeGate::kIgnore : UserChangeGate::kPauseThenApply;
}

}  // namespace qmz
