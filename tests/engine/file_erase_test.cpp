#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "tests/engine/engine_harness.h"

namespace qmz {
namespace {

using Lines = std::vector<ResultLine>;

std::vector<SimJournalEntry> Only(const std::vector<SimJournalEntry>& journal, SimCall call) {
    std::vector<SimJournalEntry> kept;
    std::copy_if(journal.begin(), journal.end(), std::back_inserter(kept),
                 [call](const SimJournalEntry& e) { return e.call == call; });
    return kept;
}

// Where the first `call` stands in the journal; none when it was never made.
std::optional<size_t> FirstIndexOf(const std::vector<SimJournalEntry>& journal, SimCall call) {
    const auto found = std::find_if(journal.begin(), journal.end(),
                                    [call](const SimJournalEntry& e) { return e.call == call; });
    if (found == journal.end()) {
        return std::nullopt;
    }
    return static_cast<size_t>(found - journal.begin());
}

class FileEraseTest : public ::testing::Test {
protected:
    RunOutcome EraseFile(const std::wstring& path, int32_t method = kDoD) {
        m_h.Sim().ClearJournal();
        return m_h.Run(MakeOperation<CEraseFile>(path, method));
    }
    CEngineHarness m_h;
};

TEST_F(FileEraseTest, DoDWritesEveryByteThreeTimesThenVerifiesOneCluster) {
    ASSERT_EQ(m_h.Sim().AddFile(L"C:\\a\\ten.bin", "0123456789"), ERROR_SUCCESS);
    const RunOutcome outcome = EraseFile(L"C:\\a\\ten.bin");

    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\a\\ten.bin", StatusCompleted}}));
    EXPECT_EQ(outcome.lines[0].userName, L"QMZ\\tester");
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\a\\ten.bin"));
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\a\\$1"));

    const std::vector<SimJournalEntry> journal = m_h.Sim().Journal();
    const std::vector<SimJournalEntry> writes = Only(journal, SimCall::kWrite);
    ASSERT_EQ(writes.size(), 3u);
    for (const SimJournalEntry& write : writes) {
        EXPECT_EQ(write.offset, 0u);
        EXPECT_EQ(write.length, 10u);
        EXPECT_TRUE(write.oneByte);
    }
    EXPECT_EQ(writes[0].firstByte, 0x55);
    EXPECT_EQ(writes[1].firstByte, 0xAA);
    EXPECT_NE(writes[2].firstByte, 0x00);
    EXPECT_NE(writes[2].firstByte, 0xFF);
    EXPECT_NE(writes[2].firstByte, 0xAA);

    const std::vector<SimJournalEntry> reads = Only(journal, SimCall::kRead);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].length, 10u);
    EXPECT_EQ(reads[0].requested, kCluster);
    EXPECT_EQ(reads[0].firstByte, writes[2].firstByte);
    EXPECT_EQ(m_h.Sim().CallCount(SimCall::kRead), 1u);  // and no read that failed

    // Each written pass reaches the disk before the next begins; verification writes nothing.
    std::vector<SimCall> order;
    for (const SimJournalEntry& e : journal) {
        if (e.call == SimCall::kWrite || e.call == SimCall::kFlush || e.call == SimCall::kRead) {
            order.push_back(e.call);
        }
    }
    EXPECT_EQ(order, (std::vector<SimCall>{SimCall::kWrite, SimCall::kFlush, SimCall::kWrite,
                                           SimCall::kFlush, SimCall::kWrite, SimCall::kFlush,
                                           SimCall::kRead}));

    // Truncated, renamed, deleted: in that order, after the last read.
    const std::optional<size_t> read = FirstIndexOf(journal, SimCall::kRead);
    const std::optional<size_t> truncate = FirstIndexOf(journal, SimCall::kSetEndOfFile);
    const std::optional<size_t> move = FirstIndexOf(journal, SimCall::kMove);
    const std::optional<size_t> remove = FirstIndexOf(journal, SimCall::kDelete);
    ASSERT_TRUE(read && truncate && move && remove);
    EXPECT_EQ(journal[*truncate].offset, 0u);
    EXPECT_LT(*read, *truncate);
    EXPECT_LT(*truncate, *move);
    EXPECT_EQ(journal[*move].target, L"C:\\a\\$1");
    EXPECT_LT(*move, *remove);
    EXPECT_EQ(journal[*remove].path, L"C:\\a\\$1");
}

TEST_F(FileEraseTest, NamedStreamsAreOverwrittenBeforeTheMainStream) {
    m_h.Sim().AddFile(L"C:\\s.txt", std::string(5000, 'm'));
    m_h.Sim().AddStream(L"C:\\s.txt", L"first", std::string(300, 'f'));
    m_h.Sim().AddStream(L"C:\\s.txt", L"second", std::string(20, 's'));
    const RunOutcome outcome = EraseFile(L"C:\\s.txt", kNcsc);
    EXPECT_EQ(outcome.status, StatusCompleted);

    // (stream, call) in journal order, up to the rename.
    std::vector<std::pair<std::wstring, SimCall>> order;
    for (const SimJournalEntry& e : m_h.Sim().Journal()) {
        if (e.call == SimCall::kWrite || e.call == SimCall::kSetEndOfFile ||
            e.call == SimCall::kMove || e.call == SimCall::kDelete) {
            if (order.empty() || order.back() != std::make_pair(e.stream, e.call)) {
                order.emplace_back(e.stream, e.call);
            }
        }
    }
    const std::vector<std::pair<std::wstring, SimCall>> expected = {
        {L"first", SimCall::kWrite},  {L"first", SimCall::kSetEndOfFile},
        {L"second", SimCall::kWrite}, {L"second", SimCall::kSetEndOfFile},
        {L"", SimCall::kWrite},       {L"", SimCall::kSetEndOfFile},
        {L"", SimCall::kMove},        {L"", SimCall::kDelete}};
    EXPECT_EQ(order, expected);
    const std::vector<SimJournalEntry> writes = Only(m_h.Sim().Journal(), SimCall::kWrite);
    ASSERT_EQ(writes.size(), 9u);  // three passes each
    EXPECT_EQ(writes[2].length, 300u);
    EXPECT_EQ(writes[5].length, 20u);
    EXPECT_EQ(writes[8].length, 5000u);
    EXPECT_EQ(writes[8].firstByte, 0xE5);
}

TEST_F(FileEraseTest, EmptyStreamsAndTheNopMethodWriteNothing) {
    m_h.Sim().AddFile(L"C:\\empty.txt", "");
    RunOutcome outcome = EraseFile(L"C:\\empty.txt");
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_TRUE(Only(m_h.Sim().Journal(), SimCall::kWrite).empty());
    EXPECT_EQ(Only(m_h.Sim().Journal(), SimCall::kSetEndOfFile).size(), 1u);
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\empty.txt"));

    m_h.Sim().AddFile(L"C:\\nop.txt", "keep the bytes");
    outcome = EraseFile(L"C:\\nop.txt", kNop);
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_TRUE(Only(m_h.Sim().Journal(), SimCall::kWrite).empty());
    EXPECT_EQ(Only(m_h.Sim().Journal(), SimCall::kMove).size(), 1u);
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\nop.txt"));
}

TEST_F(FileEraseTest, ReadOnlyAndSuperHiddenFilesNamedDirectlyAreErased) {
    m_h.Sim().AddFile(L"C:\\ro.txt", "data", FILE_ATTRIBUTE_READONLY);
    RunOutcome outcome = EraseFile(L"C:\\ro.txt");
    EXPECT_EQ(outcome.status, StatusCompleted);
    const std::vector<SimJournalEntry> journal = m_h.Sim().Journal();
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(Only(journal, SimCall::kMakeWritable).size(), 1u);
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\ro.txt"));

    m_h.Sim().AddFile(L"C:\\sys.dat", "data", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    CEraseFile named = MakeOperation<CEraseFile>(L"C:\\sys.dat", kDoD);
    named.m_includeSuperHidden = 0;
    outcome = m_h.Run(named);
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\sys.dat"));
}

TEST_F(FileEraseTest, AFileHeldOpenByAnotherProgramIsReportedAndLeftAlone) {
    m_h.Sim().AddFile(L"C:\\busy.doc", "user data");
    m_h.Sim().AddFile(L"C:\\other.doc", "other data");
    m_h.Sim().HoldOpen(L"C:\\busy.doc", 0);
    const RunOutcome outcome = EraseFile(L"C:\\busy.doc");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\busy.doc", StatusFailedOther}}));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\busy.doc"), "user data");
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\other.doc"), "other data");
    const std::vector<SimJournalEntry> journal = m_h.Sim().Journal();
    for (SimCall call : {SimCall::kWrite, SimCall::kSetEndOfFile, SimCall::kMove, SimCall::kDelete,
                         SimCall::kMakeWritable}) {
        EXPECT_TRUE(Only(journal, call).empty()) << static_cast<int>(call);
    }
}

TEST_F(FileEraseTest, StreamsThatCannotBeListedStillGiveAResultLine) {
    m_h.Sim().AddFile(L"C:\\locked.txt", "secret");
    m_h.Sim().InjectFault(SimCall::kOpen, 1, ERROR_ACCESS_DENIED, true, L"C:\\locked.txt");
    const RunOutcome outcome = EraseFile(L"C:\\locked.txt");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\locked.txt", StatusFailedOther}}));
    m_h.Sim().ClearFaults();
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\locked.txt"), "secret");
}

TEST_F(FileEraseTest, ANamedStreamWhoseAttributesCannotBeReadFailsTheFile) {
    m_h.Sim().AddFile(L"C:\\n.txt", "payload");
    m_h.Sim().AddStream(L"C:\\n.txt", L"meta", "stream data");
    m_h.Sim().InjectFault(SimCall::kGetAttributes, 1, ERROR_ACCESS_DENIED, true, L"C:\\n.txt:meta");
    const RunOutcome outcome = EraseFile(L"C:\\n.txt");
    m_h.Sim().ClearFaults();
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\n.txt", StatusFailedOther}}));
    // A stream that may not have been overwritten keeps the file where it is.
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\n.txt"));
    EXPECT_TRUE(Only(m_h.Sim().Journal(), SimCall::kMove).empty());
    EXPECT_TRUE(Only(m_h.Sim().Journal(), SimCall::kDelete).empty());
}

TEST_F(FileEraseTest, AFileThatCannotBeDeletedIsMovedBackUnderItsName) {
    m_h.Sim().AddFile(L"C:\\d\\stuck.txt", "stuck");
    m_h.Sim().SetCannotDelete(L"C:\\d\\stuck.txt");
    const RunOutcome outcome = EraseFile(L"C:\\d\\stuck.txt");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines,
              (Lines{{ResultRecord::kFile, L"C:\\d\\stuck.txt", StatusFailedOther}}));
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\d\\stuck.txt"));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\d\\stuck.txt"), "");  // overwritten and truncated
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\d\\$1"));
}

TEST_F(FileEraseTest, AnExistingDollarOneIsKeptAndTheFileDeletedUnderItsOwnName) {
    m_h.Sim().AddFile(L"C:\\d\\$1", "not ours");
    m_h.Sim().AddFile(L"C:\\d\\mine.txt", "mine");
    const RunOutcome outcome = EraseFile(L"C:\\d\\mine.txt");
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\d\\mine.txt"));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\d\\$1"), "not ours");
    const std::vector<SimJournalEntry> deletes = Only(m_h.Sim().Journal(), SimCall::kDelete);
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_EQ(deletes[0].path, L"C:\\d\\mine.txt");
}

TEST_F(FileEraseTest, BadPathsEraseNothing) {
    m_h.Sim().AddFile(L"C:\\file.txt", "wildcard victim");
    std::wstring deep = L"C:";
    while (deep.size() < 250) {
        deep += L"\\folder_name";
    }
    const std::wstring longFile = deep + L"\\long_file_name.txt";  // past 260 characters
    ASSERT_GT(longFile.size(), 260u);
    ASSERT_EQ(m_h.Sim().AddFile(longFile, "long"), ERROR_SUCCESS);

    for (const std::wstring& path :
         {std::wstring(L"C:\\missing.txt"), std::wstring(L"C:\\fil*.txt"),
          std::wstring(L"C:\\file.tx?"), longFile}) {
        const RunOutcome outcome = EraseFile(path);
        EXPECT_EQ(outcome.status, StatusFailedOther);
        EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, path, StatusFailedOther}}));
        EXPECT_TRUE(Only(m_h.Sim().Journal(), SimCall::kWrite).empty());
    }
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\file.txt"), "wildcard victim");
    EXPECT_EQ(m_h.Sim().ReadAll(longFile), "long");
}

TEST_F(FileEraseTest, AFailedWriteReportsTheFileAndKeepsIt) {
    m_h.Sim().AddFile(L"C:\\w.txt", "payload");
    m_h.Sim().InjectFault(SimCall::kWrite, 2, ERROR_DISK_FULL);
    const RunOutcome outcome = EraseFile(L"C:\\w.txt");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\w.txt", StatusFailedOther}}));
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\w.txt"));
    EXPECT_TRUE(Only(m_h.Sim().Journal(), SimCall::kMove).empty());
}

TEST_F(FileEraseTest, APassThatCannotBeFlushedToDiskFailsTheFile) {
    m_h.Sim().AddFile(L"C:\\f.txt", "payload");
    m_h.Sim().InjectFault(SimCall::kFlush, 1, ERROR_NOT_READY);
    const RunOutcome outcome = EraseFile(L"C:\\f.txt");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\f.txt", StatusFailedOther}}));
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\f.txt"));  // not reported erased, so not deleted
    EXPECT_EQ(Only(m_h.Sim().Journal(), SimCall::kWrite).size(), 1u);
}

TEST_F(FileEraseTest, StreamsThatNeverFitTheListAreNotReportedErased) {
    m_h.Sim().AddFile(L"C:\\many.txt", "payload");
    m_h.Sim().InjectFault(SimCall::kQueryStreams, 1, ERROR_MORE_DATA, true, L"C:\\many.txt");
    const RunOutcome outcome = EraseFile(L"C:\\many.txt");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\many.txt", StatusFailedOther}}));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\many.txt"), "payload");
    EXPECT_TRUE(Only(m_h.Sim().Journal(), SimCall::kWrite).empty());
}

TEST_F(FileEraseTest, EstimatesMultiplyTheSizeByThePasses) {
    m_h.Sim().AddFile(L"C:\\t\\a.bin", std::string(1000, 'a'));
    m_h.Sim().AddFile(L"C:\\t\\sub\\b.bin", std::string(24, 'b'));
    m_h.Sim().AddFolder(L"C:\\t\\sub\\empty");
    m_h.Sim().AddFolder(L"C:\\elsewhere");
    m_h.Sim().AddFile(L"C:\\elsewhere\\big.bin", std::string(5000, 'x'));
    m_h.Sim().AddJunction(L"C:\\t\\link", L"C:\\elsewhere");

    CEraseFolderAndContents tree = MakeOperation<CEraseFolderAndContents>(L"C:\\t", kDoD);
    tree.m_platform = m_h.Platform();
    tree.EstimateWork();
    EXPECT_EQ(tree.m_bytesToWrite, 1024u * 4);  // the junction's target is not counted
    EXPECT_EQ(tree.m_fileCount, 2u);
    EXPECT_EQ(tree.m_folderCount, 3u);

    CEraseFile file = MakeOperation<CEraseFile>(L"C:\\t\\a.bin", 17);
    file.m_platform = m_h.Platform();
    file.EstimateWork();
    EXPECT_EQ(file.m_bytesToWrite, 35000u);
    EXPECT_EQ(file.m_fileCount, 1u);
    EXPECT_EQ(file.m_folderCount, 0u);

    CEraseFolderOnly only = MakeOperation<CEraseFolderOnly>(L"C:\\t", kDoD);
    only.EstimateWork();
    EXPECT_EQ(only.m_bytesToWrite, 0u);
    EXPECT_EQ(only.m_fileCount, 0u);
    EXPECT_EQ(only.m_folderCount, 1u);

    CEraseContentsOfFolder missing = MakeOperation<CEraseContentsOfFolder>(L"C:\\none", kDoD);
    missing.m_platform = m_h.Platform();
    missing.EstimateWork();
    EXPECT_EQ(missing.m_fileCount + missing.m_folderCount + missing.m_bytesToWrite, 0u);
}

}  // namespace
}  // namespace qmz
