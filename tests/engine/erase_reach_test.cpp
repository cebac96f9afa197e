// An erase reaches exactly what it was asked for, and says so when it cannot: names that
// Win32 would rewrite, links that do not look like links, and failures that used to pass
// for success. Each case runs through the real queue and worker on the simulated volume,
// which treats plain paths and host links as Win32 and Wine do.
#include <gtest/gtest.h>

#include "tests/engine/engine_harness.h"

namespace qmz {
namespace {

using Lines = std::vector<ResultLine>;
constexpr ResultRecord kFile = ResultRecord::kFile;
constexpr ResultRecord kFolder = ResultRecord::kFolder;
constexpr ResultRecord kFolderAndContents = ResultRecord::kFolderAndContents;

class EraseReachTest : public ::testing::Test {
protected:
    template <class T>
    RunOutcome Erase(const std::wstring& path) {
        m_h.Sim().ClearJournal();
        return m_h.Run(MakeOperation<T>(path, kNcsc));
    }
    std::vector<SimJournalEntry> Writes() { return m_h.Sim().Journal(SimCall::kWrite); }

    CEngineHarness m_h;
};

TEST_F(EraseReachTest, TrailingDotsAndBlanksNameNoOtherObject) {
    m_h.Sim().AddFile(L"C:\\d\\victim", "victim data");
    m_h.Sim().AddFile(L"C:\\d\\folder\\inside.txt", "inside");
    // The simulated volume, like Win32, finds "victim" under these plain names.
    ASSERT_TRUE(m_h.Sim().Exists(L"C:\\d\\victim."));

    for (const wchar_t* name : {L"C:\\d\\victim.", L"C:\\d\\victim ", L"C:\\d\\victim. ."}) {
        const RunOutcome outcome = Erase<CEraseFile>(name);
        EXPECT_EQ(outcome.status, StatusFailedOther) << name;
        EXPECT_EQ(outcome.lines, (Lines{{kFile, name, StatusFailedOther}}));
    }
    RunOutcome outcome = Erase<CEraseFolderAndContents>(L"C:\\d\\folder.");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    outcome = Erase<CEraseContentsOfFolder>(L"C:\\d\\folder ");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\d\\victim"), "victim data");
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\d\\folder\\inside.txt"), "inside");

    // An object really named with a trailing dot (made through "\\?\") is erased itself.
    m_h.Sim().AddFile(L"\\\\?\\C:\\d\\odd.", "odd");
    m_h.Sim().AddFile(L"C:\\d\\odd", "neighbour");
    outcome = Erase<CEraseFile>(L"C:\\d\\odd.");
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_FALSE(m_h.Sim().Exists(L"\\\\?\\C:\\d\\odd."));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\d\\odd"), "neighbour");
}

TEST_F(EraseReachTest, ForwardSlashesSeparateNamesEverywhere) {
    m_h.Sim().AddFile(L"C:\\d\\sub\\file.txt", std::string(5000, 'f'));
    m_h.Sim().AddFile(L"C:\\d\\sibling.txt", "sibling");
    const RunOutcome outcome = Erase<CEraseFile>(L"C:\\d/sub/file.txt");
    EXPECT_EQ(outcome.status, StatusCompleted);
    const std::vector<SimJournalEntry> moves = m_h.Sim().Journal(SimCall::kMove);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].target, L"C:\\d\\sub\\$1");  // renamed in its own folder
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\d\\sub\\file.txt"));
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\d\\$1"));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\d\\sibling.txt"), "sibling");
}

// Under Wine a host symbolic link to a file looks like a plain file and every call by its
// path reaches the target, deleting included: such an entry is left alone and reported.
TEST_F(EraseReachTest, LinksThatLookLikeObjectsNeverLetTheirTargetsBeTouched) {
    m_h.Sim().AddFile(L"C:\\outside\\target.txt", "precious");
    m_h.Sim().AddFile(L"C:\\outside\\tdir\\inner.txt", "inner");
    m_h.Sim().AddFile(L"C:\\req\\plain.txt", std::string(3000, 'p'));
    m_h.Sim().AddHostLink(L"C:\\req\\filelink", L"C:\\outside\\target.txt", false);
    m_h.Sim().AddHostLink(L"C:\\req\\dirlink", L"C:\\outside\\tdir", true);
    m_h.Sim().AddHostLink(L"C:\\req\\sub\\deep", L"C:\\outside\\tdir", true);
    ASSERT_EQ(m_h.Sim().AttributesOf(L"C:\\outside\\target.txt") & FILE_ATTRIBUTE_REPARSE_POINT,
              0u);

    RunOutcome outcome = Erase<CEraseFolderAndContents>(L"C:\\req");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\req\\dirlink", StatusFailedOther},
                                    {kFile, L"C:\\req\\filelink", StatusFailedOther},
                                    {kFile, L"C:\\req\\plain.txt", StatusCompleted},
                                    {kFolder, L"C:\\req\\sub\\deep", StatusFailedOther},
                                    {kFolder, L"C:\\req\\sub", StatusFailedOther},
                                    {kFolder, L"C:\\req", StatusFailedOther}}));
    for (const SimJournalEntry& write : Writes()) {
        EXPECT_EQ(write.path, L"C:\\req\\plain.txt");
    }

    // Named directly, as a file, a folder tree, a folder's contents or a folder alone.
    outcome = Erase<CEraseFile>(L"C:\\req\\filelink");
    EXPECT_EQ(outcome.lines, (Lines{{kFile, L"C:\\req\\filelink", StatusFailedOther}}));
    outcome = Erase<CEraseFolderAndContents>(L"C:\\req\\dirlink");
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\req\\dirlink", StatusFailedOther}}));
    outcome = Erase<CEraseContentsOfFolder>(L"C:\\req\\sub\\deep");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    outcome = Erase<CEraseFolderOnly>(L"C:\\req\\dirlink");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(m_h.Sim().Journal(SimCall::kMove).empty());
    EXPECT_TRUE(m_h.Sim().Journal(SimCall::kDelete).empty());

    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\outside\\target.txt"), "precious");
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\outside\\tdir\\inner.txt"), "inner");
}

TEST_F(EraseReachTest, AJunctionOnTheWayIsNoLink) {
    m_h.Sim().AddFile(L"C:\\real\\doc.txt", "doc");
    m_h.Sim().AddJunction(L"C:\\via", L"C:\\real");
    const RunOutcome outcome = Erase<CEraseFile>(L"C:\\via\\doc.txt");
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\real\\doc.txt"));
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\via"));
}

TEST_F(EraseReachTest, StreamsThatCannotBeListedFailTheFileUnlessTheVolumeHasNone) {
    m_h.Sim().AddFile(L"C:\\s\\a.txt", "main a");
    m_h.Sim().AddStream(L"C:\\s\\a.txt", L"secret", "stream a");
    m_h.Sim().InjectFault(SimCall::kQueryStreams, 1, ERROR_ACCESS_DENIED, true, L"C:\\s\\a.txt");
    RunOutcome outcome = Erase<CEraseFile>(L"C:\\s\\a.txt");
    EXPECT_EQ(outcome.lines, (Lines{{kFile, L"C:\\s\\a.txt", StatusFailedOther}}));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\s\\a.txt:secret"), "stream a");
    EXPECT_TRUE(Writes().empty());

    // A file system without streams answers "not supported": the main stream is all.
    m_h.Sim().ClearFaults();
    m_h.Sim().AddFile(L"C:\\s\\b.txt", "main b");
    m_h.Sim().InjectFault(SimCall::kQueryStreams, 1, ERROR_NOT_SUPPORTED, true, L"C:\\s\\b.txt");
    outcome = Erase<CEraseFile>(L"C:\\s\\b.txt");
    EXPECT_EQ(outcome.lines, (Lines{{kFile, L"C:\\s\\b.txt", StatusCompleted}}));
}

TEST_F(EraseReachTest, AMountPointThatCannotBeToldFromALinkIsKept) {
    m_h.Sim().AddVolume(L'D', kVolumeD, 512, 8, 1024);
    m_h.Sim().AddFile(L"D:\\keep.txt", "on D");
    m_h.Sim().AddMountPoint(L"C:\\top\\mnt", L"D:\\");
    m_h.Sim().AddFolder(L"C:\\top\\real");
    m_h.Sim().AddJunction(L"C:\\top\\junction", L"C:\\top\\real");
    // The volume query that used to decide it now fails; the reparse data still tells.
    m_h.Sim().InjectFault(SimCall::kGetVolumeNameForMountPoint, 1, ERROR_ACCESS_DENIED, true);
    RunOutcome outcome = Erase<CEraseContentsOfFolder>(L"C:\\top");
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\top\\junction", StatusCompleted},
                                    {kFolder, L"C:\\top\\mnt", StatusFailedOther},
                                    {kFolder, L"C:\\top\\real", StatusCompleted}}));
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\top\\mnt"));

    // Without the reparse data nothing decides it: kept and reported.
    m_h.Sim().ClearFaults();
    m_h.Sim().InjectFault(SimCall::kGetReparsePoint, 1, ERROR_ACCESS_DENIED, true);
    outcome = Erase<CEraseFolderAndContents>(L"C:\\top\\mnt");
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\top\\mnt", StatusFailedOther}}));
    outcome = Erase<CEraseFolderAndContents>(L"C:\\top");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\top\\mnt"));
    EXPECT_EQ(m_h.Sim().ReadAll(L"D:\\keep.txt"), "on D");
}

TEST_F(EraseReachTest, AListingThatEndsEarlyIsNoEmptyFolder) {
    m_h.Sim().AddFile(L"C:\\c\\one.txt", "1");
    m_h.Sim().AddFile(L"C:\\c\\two.txt", "2");
    m_h.Sim().InjectFault(SimCall::kFindNext, 1, ERROR_NO_MORE_FILES, false, L"C:\\c");
    RunOutcome outcome = Erase<CEraseContentsOfFolder>(L"C:\\c");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines.back(), ResultLine(kFolder, L"C:\\c", StatusFailedOther));
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\c\\two.txt"));

    // A volume root that cannot be listed is no empty volume either.
    m_h.Sim().AddVolume(L'D', kVolumeD, 512, 8, 1024);
    m_h.Sim().AddFile(L"D:\\kept.txt", "kept");
    m_h.Sim().InjectFault(SimCall::kFindFirst, 1, ERROR_ACCESS_DENIED, true, L"D:\\");
    outcome = Erase<CEraseContentsOfFolder>(L"D:\\");
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"D:\\", StatusFailedOther}}));
}

TEST_F(EraseReachTest, ARemovalThatLeavesTheObjectIsAFailure) {
    m_h.Sim().AddFile(L"C:\\i\\stays.txt", "stays");
    m_h.Sim().SetRemovalIgnored(L"C:\\i\\stays.txt");
    RunOutcome outcome = Erase<CEraseFile>(L"C:\\i\\stays.txt");
    EXPECT_EQ(outcome.lines, (Lines{{kFile, L"C:\\i\\stays.txt", StatusFailedOther}}));
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\i\\stays.txt"));  // back under its own name
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\i\\$1"));

    m_h.Sim().AddFolder(L"C:\\j\\stuck");
    m_h.Sim().SetRemovalIgnored(L"C:\\j\\stuck");
    outcome = Erase<CEraseFolderAndContents>(L"C:\\j");
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\j\\stuck", StatusFailedOther},
                                    {kFolder, L"C:\\j", StatusFailedOther}}));
}

TEST_F(EraseReachTest, PathLimitsCountUtf16Units) {
    // One character beyond the basic plane: 260 wchar_t natively, but 261 UTF-16 units,
    // one too many, as on Windows.
    const std::wstring withEmoji = L"C:\\" + std::wstring(256, L'a') + L"\U0001F600";
    const std::wstring plain = L"C:\\" + std::wstring(257, L'b');
    m_h.Sim().AddFile(withEmoji, "e");
    m_h.Sim().AddFile(plain, "p");
    EXPECT_EQ(Erase<CEraseFile>(withEmoji).status, StatusFailedOther);
    EXPECT_EQ(Erase<CEraseFile>(plain).status, StatusCompleted);
    EXPECT_EQ(m_h.Sim().ReadAll(withEmoji), "e");
}

}  // namespace
}  // namespace qmz
