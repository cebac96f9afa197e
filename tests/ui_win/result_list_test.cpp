// The results list on a real list view: groups and group view as the filters switch,
// the item data and group of each row, and the row commands.
#include "ui/win/result_list.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "ops/operation.h"
#include "ui/win/win_handles.h"

namespace qmz {
namespace {

constexpr wchar_t kHostClass[] = L"QmzResultListTestHost";

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto* results = reinterpret_cast<CResultList*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (results != nullptr && header->code == LVN_ITEMCHANGED) {
            results->OnItemChanged(*reinterpret_cast<const NMLISTVIEW*>(lParam));
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

ResultRow Row(const std::wstring& name, int32_t status, uint32_t failures = 0) {
    ResultRow row;
    row.name = name;
    row.path = L"D:\\" + name;
    row.kindName = L"kind";
    row.status = status;
    row.failureCount = failures;
    return row;
}

class ResultListTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&init));
        WNDCLASSW host = {};
        host.lpfnWndProc = HostProc;
        host.hInstance = GetModuleHandleW(nullptr);
        host.lpszClassName = kHostClass;
        RegisterClassW(&host);
        m_host.Reset(CreateWindowExW(0, kHostClass, L"host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 300,
                                     nullptr, nullptr, host.hInstance, nullptr));
        ASSERT_TRUE(m_host);
        HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"",
                                    WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0,
                                    580, 120, m_host.Get(), nullptr, host.hInstance, nullptr);
        ASSERT_NE(list, nullptr);
        m_results = std::make_unique<CResultList>(list);
        CListView& view = m_results->View();
        view.AddExtendedStyles();
        view.InsertColumns({L"name", L"path", L"kind", L"status", L"failures"});
        SetWindowLongPtrW(m_host.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m_results.get()));
        ShowWindow(m_host.Get(), SW_SHOWNOACTIVATE);
    }

    void TearDown() override { SetWindowLongPtrW(m_host.Get(), GWLP_USERDATA, 0); }

    CListView& View() { return m_results->View(); }

    // Whether the control keeps groups at all (Wine's list view takes the group messages
    // and keeps nothing).
    bool ListKeepsGroups() {
        const int probe = 99;
        const bool kept = View().InsertGroup(probe, -1, L"probe") && View().HasGroup(probe);
        View().RemoveGroup(probe);
        return kept;
    }

    std::vector<int> MarkedRows() {
        std::vector<int> rows;
        for (int row = 0; row < View().RowCount(); ++row) {
            EXPECT_EQ(View().IsSelected(row), View().IsChecked(row)) << row;
            if (View().IsSelected(row)) {
                rows.push_back(row);
            }
        }
        return rows;
    }

    CWindow m_host;
    std::unique_ptr<CResultList> m_results;
};

TEST_F(ResultListTest, RowsCarryTheirClassAndFailureCount) {
    ASSERT_EQ(m_results->AppendResult(Row(L"a", StatusFailedSystemFile, 3), L"failed"), 0);
    ASSERT_EQ(m_results->AppendResult(Row(L"b", StatusCompleted), L"done"), 1);
    ASSERT_EQ(m_results->AppendResult(Row(L"c", StatusPaused), L"paused"), 2);
    EXPECT_EQ(View().RowData(0), kResultClassFailed);
    EXPECT_EQ(View().RowData(1), kResultClassSucceeded);
    EXPECT_EQ(View().RowData(2), kResultClassOther);
    EXPECT_EQ(View().CellText(0, 4), L"3");
    EXPECT_EQ(View().CellText(1, 4), L"");
    EXPECT_EQ(View().CellText(1, 3), L"done");
    EXPECT_EQ(View().CellText(2, 1), L"D:\\c");
    EXPECT_FALSE(View().IsGroupViewEnabled());
    EXPECT_TRUE(MarkedRows().empty());
}

TEST_F(ResultListTest, FiltersBuildTheGroupsAndTheCommandsKeepToThem) {
    for (int32_t status : {int32_t{StatusFailedOther}, int32_t{StatusCompleted},
                           int32_t{StatusAborted}, int32_t{StatusPaused}}) {
        ASSERT_GE(m_results->AppendResult(Row(L"r", status), L"s"), 0);
    }
    const bool groups = ListKeepsGroups();
    m_results->SetShowSucceeded(true, L"succeeded");
    m_results->SetShowFailed(true, L"failed");
    if (groups) {
        EXPECT_TRUE(View().IsGroupViewEnabled());
        EXPECT_TRUE(View().HasGroup(kResultGroupFailed));
        EXPECT_TRUE(View().HasGroup(kResultGroupCompleted));
        EXPECT_EQ(View().GroupHeader(kResultGroupFailed), L"failed");
        EXPECT_EQ(View().GroupHeader(kResultGroupCompleted), L"succeeded");
        ASSERT_EQ(View().GroupCount(), 2);
        EXPECT_EQ(View().GroupIdAt(0), kResultGroupFailed);
        EXPECT_EQ(View().GroupIdAt(1), kResultGroupCompleted);
        EXPECT_EQ(View().RowGroup(0), kResultGroupFailed);
        EXPECT_EQ(View().RowGroup(1), kResultGroupCompleted);
        EXPECT_EQ(View().RowGroup(2), kResultGroupFailed);
    } else {
        // The commands below keep to the filters all the same; only the view cannot hide.
        std::printf("the list view keeps no groups: group view %d, row group %d\n",
                    View().IsGroupViewEnabled() ? 1 : 0, View().RowGroup(0));
    }

    // Succeeded off: select all reaches only the failed rows.
    m_results->SetShowSucceeded(false, L"succeeded");
    EXPECT_FALSE(View().HasGroup(kResultGroupCompleted));
    if (groups) {
        EXPECT_TRUE(View().IsGroupViewEnabled());
        EXPECT_TRUE(View().HasGroup(kResultGroupFailed));
        EXPECT_EQ(View().RowGroup(1), kResultGroupHidden);
    }
    m_results->SelectAll();
    EXPECT_EQ(MarkedRows(), (std::vector<int>{0, 2}));

    // A new failed row joins the failed group, a succeeded one stays outside any.
    ASSERT_EQ(m_results->AppendResult(Row(L"f", StatusFailedOther), L"s"), 4);
    ASSERT_EQ(m_results->AppendResult(Row(L"g", StatusCompleted), L"s"), 5);
    if (groups) {
        EXPECT_EQ(View().RowGroup(4), kResultGroupFailed);
        EXPECT_NE(View().RowGroup(5), kResultGroupCompleted);
    }

    m_results->Toggle();
    EXPECT_EQ(MarkedRows(), (std::vector<int>{4}));

    // Failed off as well: no groups, every row shown again, the failed ones unmarked.
    m_results->SetShowFailed(false, L"failed");
    EXPECT_FALSE(View().IsGroupViewEnabled());
    EXPECT_FALSE(View().HasGroup(kResultGroupFailed));
    EXPECT_TRUE(MarkedRows().empty());
}

TEST_F(ResultListTest, RemoveTakesOnlyTheShownSelectedRows) {
    for (int32_t status :
         {int32_t{StatusFailedOther}, int32_t{StatusCompleted}, int32_t{StatusAborted}}) {
        ASSERT_GE(m_results->AppendResult(Row(L"r" + std::to_wstring(status), status), L"s"), 0);
    }
    m_results->SelectAll();
    m_results->SetShowFailed(true, L"failed");
    std::vector<std::wstring> reports;
    m_results->RemoveSelected([&](const std::wstring& text) { reports.push_back(text); });
    EXPECT_TRUE(reports.empty());
    ASSERT_EQ(View().RowCount(), 1);
    EXPECT_EQ(View().RowData(0), kResultClassSucceeded);
    EXPECT_EQ(m_results->Filters().RowCount(), 1u);
    // The hidden succeeded row kept its marks.
    EXPECT_EQ(MarkedRows(), (std::vector<int>{0}));
}

TEST_F(ResultListTest, CheckingARowSelectsIt) {
    ASSERT_EQ(m_results->AppendResult(Row(L"a", StatusCompleted), L"s"), 0);
    ASSERT_EQ(m_results->AppendResult(Row(L"b", StatusCompleted), L"s"), 1);
    ListView_SetCheckState(View().Handle(), 1, TRUE);
    EXPECT_EQ(MarkedRows(), (std::vector<int>{1}));
    ListView_SetItemState(View().Handle(), 0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(MarkedRows(), (std::vector<int>{0, 1}));
    ListView_SetCheckState(View().Handle(), 1, FALSE);
    EXPECT_EQ(MarkedRows(), (std::vector<int>{0}));
}

TEST_F(ResultListTest, ANewRowMovesTheViewOnlyWhenTheEndWasInView) {
    for (int i = 0; i < 30; ++i) {
        ASSERT_GE(m_results->AppendResult(Row(L"r", StatusCompleted), L"s"), 0);
    }
    // It followed the end so far.
    EXPECT_TRUE(View().IsRowVisible(29));
    View().EnsureVisible(0);
    ASSERT_FALSE(View().IsRowVisible(29));
    const int top = ListView_GetTopIndex(View().Handle());
    ASSERT_EQ(m_results->AppendResult(Row(L"new", StatusCompleted), L"s"), 30);
    EXPECT_EQ(ListView_GetTopIndex(View().Handle()), top);
    EXPECT_FALSE(View().IsRowVisible(30));
}

}  // namespace
}  // namespace qmz
