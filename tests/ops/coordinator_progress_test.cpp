// The worker's reports through the coordinator to its window: the row's course, the
// elapsed time, the results rows, the counters and the shell's change notices.
#include <gtest/gtest.h>

#include "tests/ops/coordinator_rig.h"

namespace qmz {
namespace {

std::vector<std::wstring> WithPrefix(const std::vector<std::wstring>& lines,
                                     const std::wstring& prefix) {
    std::vector<std::wstring> kept;
    for (const std::wstring& line : lines) {
        if (line.rfind(prefix, 0) == 0) {
            kept.push_back(line);
        }
    }
    return kept;
}

std::wstring Describe(const ResultRow& row) {
    return row.name + L"|" + row.path + L"|" + row.kindName + L"|" + std::to_wstring(row.status) +
           L"|" + std::to_wstring(row.group) + L"|" + std::to_wstring(row.failureCount);
}

TEST(CoordinatorProgressTest, AnItemPausedTwiceShowsEveryStepAndItsTimeLeavesThePausesOut) {
    CCoordinatorRig rig;
    CEraseCoordinator& coordinator = rig.Coordinator();
    CFakeClock& clock = rig.Platform().Clock();
    clock.Hold(true);  // only the test moves time, whatever the worker sleeps in a pause
    std::vector<std::shared_ptr<CGate>> gates;
    CScriptedItem item(L"C:\\data\\a.txt", 4);
    for (int step = 1; step <= 3; ++step) {
        gates.push_back(rig.NewGate());
        item.HoldBefore(step, gates.back());
    }
    rig.Add(item);
    ASSERT_TRUE(rig.Start());
    auto settled = [&] { return !coordinator.ControlPending(); };
    ASSERT_TRUE(rig.PumpUntil([&] { return coordinator.ItemExecuting() && settled(); }));

    // Runs 1 s, is paused 5 s, runs 2 s, is paused 7 s, runs 3 s.
    const uint32_t running[] = {1000, 2000, 3000};
    const uint32_t paused[] = {5000, 7000};
    for (int pause = 0; pause < 2; ++pause) {
        gates[pause]->WaitArrived();
        clock.Advance(running[pause]);
        coordinator.Pause();
        gates[pause]->Release();
        ASSERT_TRUE(rig.PumpUntil(settled));
        clock.Advance(paused[pause]);
        coordinator.Resume();
        ASSERT_TRUE(rig.PumpUntil(settled));
    }
    gates[2]->WaitArrived();
    clock.Advance(running[2]);
    gates[2]->Release();
    ASSERT_TRUE(rig.PumpUntil([&] { return coordinator.RowCount() == 0; }));

    const std::vector<std::wstring> course = {L"status 0 2", L"status 0 3", L"status 0 4",
                                              L"status 0 3", L"status 0 4", L"status 0 3",
                                              L"status 0 5", L"remove 0"};
    EXPECT_EQ(rig.RowCalls(0), course);
    const std::vector<std::wstring> progress = {L"started",      L"elapsed 1000", L"started",
                                                L"elapsed 3000", L"started",      L"elapsed 6000",
                                                L"list empty"};
    EXPECT_EQ(rig.Window().Progress(), progress);
    EXPECT_EQ(item.StepsDone(), 4);
    EXPECT_TRUE(rig.Window().InternalErrors().empty());
}

TEST(CoordinatorProgressTest, EachResultsRowCountsItsOwnItemsFailuresWhileTheCountersRunOn) {
    CCoordinatorRig rig;
    rig.Add(CScriptedItem(L"C:\\data\\a.txt", 1)
                .Post({L"C:\\data\\a.txt:1", StatusFailedOther})
                .Post({L"C:\\data\\a.txt:2", StatusAborted})
                .Post({L"C:\\data\\a.txt:3", StatusFailedOther})
                .Post({L"C:\\data\\a.txt:4", StatusCompleted})
                .EndWith(StatusFailedOther));
    rig.Add(CScriptedItem(L"C:\\data\\dir\\", 1).Post({L"C:\\data\\dir\\x", StatusCompleted}));
    rig.Add(CScriptedItem(L"report", 1)
                .Post({L"report\\y", StatusFailedSystemFile})
                .Post({L"report\\z", StatusCompleted})
                .EndWith(StatusAborted));
    rig.Add(CScriptedItem(L"C:\\odd", 1).EndWith(StatusExecuting));
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.Coordinator().RowCount() == 0; }));

    std::vector<std::wstring> rows;
    for (const ResultRow& row : rig.Window().ResultRows()) {
        rows.push_back(Describe(row));
    }
    // Name after the last backslash (none for a folder path), groups 3 failed and
    // 4 completed, failures of that item only.
    const std::vector<std::wstring> expectedRows = {
        L"a.txt|C:\\data\\a.txt|scripted|7|3|3", L"|C:\\data\\dir\\|scripted|5|4|0",
        L"report|report|scripted|8|3|1", L"odd|C:\\odd|scripted|3|-2|0"};
    EXPECT_EQ(rows, expectedRows);
    const std::vector<std::wstring> counters = {
        L"counters 0 0 1", L"counters 0 0 2", L"counters 0 0 3", L"counters 1 0 3",
        L"counters 2 0 3", L"counters 2 1 3", L"counters 3 1 3"};
    EXPECT_EQ(WithPrefix(rig.Window().Progress(), L"counters"), counters);
    EXPECT_EQ(WithPrefix(rig.Window().Progress(), L"list empty").size(), 1u);
    EXPECT_EQ(rig.Window().Progress().back(), L"list empty");
}

class CoordinatorShellTest : public ::testing::TestWithParam<bool> {};

std::wstring Describe(const SimShellNotice& notice) {
    const wchar_t* kinds[] = {L"deleted ", L"removed ", L"updated "};
    return kinds[static_cast<int>(notice.change)] + notice.path;
}

TEST_P(CoordinatorShellTest, ErasedFilesAndFoldersAreAnnouncedAndTheDesktopRefreshed) {
    const bool vista = GetParam();
    const std::wstring desktop = L"C:\\Users\\u\\Desktop";
    CCoordinatorRig rig(vista);
    rig.Coordinator().SetDesktopFolder(desktop);
    using K = OperationKind;
    rig.Add(CScriptedItem(L"C:\\request", 1)
                .Post({L"C:\\data\\a.txt", StatusCompleted, K::kEraseFile})
                .Post({L"C:\\data\\dir", StatusCompleted, K::kEraseFolderOnly})
                .Post({L"C:\\data\\tree", StatusCompleted, K::kEraseFolderAndContents})
                .Post({L"C:\\data\\b.txt", StatusFailedOther, K::kEraseFile})
                .Post({L"c:\\users\\U\\DESKTOP\\note.txt", StatusCompleted, K::kEraseFile})
                .Post({desktop + L"\\sub\\x", StatusCompleted, K::kEraseFolderAndContents})
                .Post({desktop, StatusCompleted, K::kEraseFolderOnly})
                .Post({desktop + L"\\c.txt", StatusFailedSystemFile, K::kEraseFile}));
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.Coordinator().RowCount() == 0; }));

    std::vector<std::wstring> notices;
    for (const SimShellNotice& notice : rig.Platform().Shell().Notices()) {
        notices.push_back(Describe(notice));
    }
    std::vector<std::wstring> expected = {L"deleted C:\\data\\a.txt", L"removed C:\\data\\dir",
                                          L"deleted c:\\users\\U\\DESKTOP\\note.txt"};
    if (vista) {
        expected.push_back(L"updated " + desktop);
        expected.push_back(L"updated " + desktop);  // for sub\x
    }
    expected.push_back(L"removed " + desktop);  // the desktop itself is not below it
    EXPECT_EQ(notices, expected);
}

INSTANTIATE_TEST_SUITE_P(VistaOrNot, CoordinatorShellTest, ::testing::Bool());

}  // namespace
}  // namespace qmz
