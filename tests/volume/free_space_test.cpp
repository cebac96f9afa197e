// The free-space erase of the real program on the image drive: what deleted files left in
// the free space is overwritten, the files that exist stay as they are, the drive is full
// while the fill runs, and neither an abort nor a killed program leaves a fill file behind.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "com/dispatch_call.h"
#include "tests/volume/marker_files.h"
#include "tests/volume/volume_test.h"

namespace qmz::volumetest {
namespace {

class FreeSpaceEraseTest : public CVolumeTest {
protected:
    // Files that must survive, with their contents: small, large, in a folder, read-only.
    std::vector<std::pair<std::wstring, std::string>> WriteKeptFiles() {
        CreateDirectoryW(m_drive.Path(L"kept").c_str(), nullptr);
        std::vector<std::pair<std::wstring, std::string>> kept = {
            {m_drive.Path(L"small.txt"), KeptBytes(1, 100)},
            {m_drive.Path(L"kept\\large.bin"), KeptBytes(2, 3 << 20)},
            {m_drive.Path(L"kept\\読み取り専用.txt"), KeptBytes(3, 5000)}};
        for (const auto& [path, content] : kept) {
            EXPECT_TRUE(WriteFlushed(path, content)) << Utf8(path);
        }
        SetFileAttributesW(kept.back().first.c_str(), FILE_ATTRIBUTE_READONLY);
        return kept;
    }

    // Marker files over all the free space, flushed, then deleted the ordinary way; the
    // records written.
    uint64_t WriteAndDeleteMarkers() {
        std::vector<std::wstring> paths;
        const uint64_t records = FillWithMarkerFiles(m_drive.Path(L"deleted"), 0, &paths);
        for (const std::wstring& path : paths) {
            EXPECT_TRUE(DeleteFileW(path.c_str())) << Utf8(path);
        }
        return records;
    }

    // The whole erase: kept files, deleted markers, the erase with `method` while the
    // host samples the drive into `sample`, then every check that does not depend on the
    // method.
    void EraseFreeSpace(DWORD method, FillSample* sample) {
        const auto kept = WriteKeptFiles();
        const uint64_t records = WriteAndDeleteMarkers();
        const int64_t before = m_drive.MarkerCount(kMarker);
        const uint64_t freeBefore = m_drive.FreeBytes();
        // Records in (nearly) every free block, or a fill that misses some proves nothing.
        ASSERT_GE(before, static_cast<int64_t>(records * 9 / 10));
        ASSERT_GE(records * kRecordBytes, freeBefore / 10 * 9)
            << "the markers cover " << records * kRecordBytes << " of " << freeBefore;
        // Once more, now that the scan has unmounted and mounted the image again.
        ASSERT_TRUE(m_drive.Prove());

        CVolumeProgram program(method);
        ASSERT_TRUE(program.Ready());
        ASSERT_TRUE(program.Request(kDoFreeSpace, m_drive.Root(), kFreeSpaceKind));
        ASSERT_TRUE(m_drive.StartSampling());
        program.Start();
        const bool ended = program.WaitForEnd(240000);
        *sample = m_drive.StopSampling();
        const std::vector<ResultRow> results = program.Results();
        Print(results);
        for (const std::wstring& question : program.Questions()) {
            std::printf("question answered: %s\n", Utf8(question).c_str());
        }
        ASSERT_TRUE(ended) << "no result within four minutes";
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].status, gui::kCompleted) << Describe(results[0]);
        EXPECT_EQ(results[0].path, m_drive.Root());
        gui::Settle(500);  // the page switch repaints after the handler that made it
        program.Window().Shoot(L"volume_free_space_results.bmp");
        EXPECT_TRUE(program.Close());

        std::printf("fill: least free %llu bytes, fill files %s, last-page values",
                    static_cast<unsigned long long>(sample->minAvailable),
                    Join(sample->fillFiles).c_str());
        for (int value : sample->pageValues) {
            std::printf(" %02X", value);
        }
        std::printf("\n");
        EXPECT_FALSE(sample->fillFiles.empty()) << "the host saw no fill file";
        EXPECT_LE(sample->minAvailable, kFullWithin) << "the drive was never full";
        EXPECT_EQ(Join(FillFiles()), "") << "fill files are left";
        EXPECT_GE(m_drive.FreeBytes() + kSpaceSlack, freeBefore) << "the fill's space is back";
        for (const auto& [path, content] : kept) {
            EXPECT_TRUE(gui::Contents(path) == content) << Utf8(path) << " changed";
        }
        EXPECT_EQ(m_drive.MarkerCount(kMarker), 0) << "deleted data survived the erase";
    }
};

TEST_F(FreeSpaceEraseTest, OnePassOverwritesAllDeletedDataAndKeepsTheFiles) {
    FillSample sample;
    EraseFreeSpace(kQuickMethod, &sample);
}

TEST_F(FreeSpaceEraseTest, EveryPassOfTheMethodReachesTheFill) {
    FillSample sample;
    EraseFreeSpace(kNcscMethod, &sample);
    ASSERT_FALSE(HasFatalFailure());
    // 00 is also what unwritten space reads as, so only FF and E5 show a pass.
    std::vector<int> passes;
    for (int value : sample.pageValues) {
        if (value != 0 && std::find(passes.begin(), passes.end(), value) == passes.end()) {
            passes.push_back(value);
        }
    }
    std::sort(passes.begin(), passes.end());
    EXPECT_EQ(passes, (std::vector<int>{0xE5, 0xFF})) << "the second and third pass";
}

TEST_F(FreeSpaceEraseTest, AbortInTheMiddleLeavesNoFillFileAndGivesTheSpaceBack) {
    const uint64_t freeBefore = m_drive.FreeBytes();
    CVolumeProgram program(kGutmannMethod);
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(program.Request(kDoFreeSpace, m_drive.Root(), kFreeSpaceKind));
    program.Start();
    const gui::CEraseWindow& window = program.Window();
    ASSERT_TRUE(WaitForFill(window, freeBefore, 4 << 20)) << "no fill seen";
    window.Command(gui::kPauseNow);
    ASSERT_TRUE(window.WaitForStatus(0, gui::kPaused, 10000));
    ASSERT_FALSE(FillFiles().empty()) << "paused in the middle of the fill";
    EXPECT_EQ(window.Rows(gui::kResultList), 0);

    window.Command(gui::kAbortItem);
    const std::wstring question = window.Answer(IDYES);
    std::printf("abort question: %s\n", Utf8(question).c_str());
    ASSERT_TRUE(program.WaitForEnd(30000));
    const std::vector<ResultRow> results = program.Results();
    Print(results);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].status, gui::kAborted);
    EXPECT_TRUE(WaitForSpaceBack(freeBefore - kSpaceSlack))
        << "fill files: " << Join(FillFiles()) << ", free " << m_drive.FreeBytes() << " of "
        << freeBefore;
    EXPECT_TRUE(program.Close());
}

TEST_F(FreeSpaceEraseTest, KilledInTheMiddleTheSystemStillDeletesTheFillFiles) {
    const uint64_t freeBefore = m_drive.FreeBytes();
    CVolumeProgram program(kGutmannMethod);
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(program.Request(kDoFreeSpace, m_drive.Root(), kFreeSpaceKind));
    program.Start();
    ASSERT_TRUE(WaitForFill(program.Window(), freeBefore, 4 << 20)) << "no fill seen";
    const std::vector<std::string> during = FillFiles();
    const uint64_t freeDuring = m_drive.FreeBytes();

    const std::string killed = m_drive.Ask("kill");
    std::printf("fill files %zu, free %llu of %llu, then %s\n", during.size(),
                static_cast<unsigned long long>(freeDuring),
                static_cast<unsigned long long>(freeBefore), killed.c_str());
    ASSERT_EQ(killed.rfind("killed=", 0), 0u) << killed;
    EXPECT_TRUE(program.Program().WaitForExit(20000)) << "the system saw the process end";
    const DWORD killedAt = GetTickCount();
    EXPECT_TRUE(WaitForSpaceBack(freeBefore - kSpaceSlack))
        << "fill files: " << Join(FillFiles()) << ", free " << m_drive.FreeBytes() << " of "
        << freeBefore;
    std::printf("fill files gone and space back %lu ms after the end\n",
                static_cast<unsigned long>(GetTickCount() - killedAt));
}

}  // namespace
}  // namespace qmz::volumetest
