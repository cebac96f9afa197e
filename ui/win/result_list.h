// The results list control (IDC_RESULT_LIST): its rows, its failed and succeeded groups
// and its row commands, replaying what CResultFilters decides on a CListView.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>

#include <functional>
#include <string>

#include "ops/erase_list_view.h"
#include "ui/model/result_filters.h"
#include "ui/win/list_view.h"

namespace qmz {

class CResultList {
public:
    CResultList() = default;
    explicit CResultList(HWND list) : m_view(list) {}

    CListView& View() { return m_view; }
    const CListView& View() const { return m_view; }
    const CResultFilters& Filters() const { return m_filters; }

    // A row at the end for an ended item: its class as item data, in its group when that
    // exists, scrolled to only when the last row was in view. The row's index, or -1
    // when the list refused it.
    int AppendResult(const ResultRow& row, const std::wstring& statusText);

    // The filter buttons; `header` is the group's caption. Switching a filter off
    // unmarks its rows.
    void SetShowFailed(bool show, const std::wstring& header);
    void SetShowSucceeded(bool show, const std::wstring& header);

    // The row commands; with a filter on they reach only the rows it shows.
    void SelectAll();
    void Toggle();
    // Removes the selected rows; each row the list fails to remove is reported with
    // "DeleteItem() failed\n" and its path, and the others still go.
    void RemoveSelected(const std::function<void(const std::wstring&)>& report);

    // LVN_ITEMCHANGED from the user: checking selects and selecting checks. Changes the
    // list makes for this class are ignored.
    void OnItemChanged(const NMLISTVIEW& change);

private:
    // Marks the list changes while it is alive as this class's own.
    class CMarking {
    public:
        explicit CMarking(int& depth) : m_depth(depth) { ++m_depth; }
        ~CMarking() { --m_depth; }
        CMarking(const CMarking&) = delete;
        CMarking& operator=(const CMarking&) = delete;

    private:
        int& m_depth;
    };

    void Apply(const FilterSteps& steps, const std::wstring& header);
    void Mark(const std::vector<RowMarkUpdate>& updates);

    CListView m_view;
    CResultFilters m_filters;
    int m_marking = 0;
};

}  // namespace qmz
