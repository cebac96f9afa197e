#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/engine_harness.h"

namespace qmz {
namespace {

using Lines = std::vector<ResultLine>;
constexpr ResultRecord kFile = ResultRecord::kFile;
constexpr ResultRecord kFolder = ResultRecord::kFolder;

class FolderEraseTest : public ::testing::Test {
protected:
    template <class T>
    RunOutcome Erase(const std::wstring& path, int32_t includeSuperHidden = 1) {
        T operation = MakeOperation<T>(path, kNcsc);
        operation.m_includeSuperHidden = includeSuperHidden;
        m_h.Sim().ClearJournal();
        return m_h.Run(operation);
    }
    size_t IndexOf(SimCall call, const std::wstring& path, const std::wstring& stream = L"") {
        const std::vector<SimJournalEntry> journal = m_h.Sim().Journal();
        for (size_t i = 0; i < journal.size(); ++i) {
            if (journal[i].call == call && journal[i].path == path && journal[i].stream == stream) {
                return i;
            }
        }
        return journal.size();
    }
    CEngineHarness m_h;
};

TEST_F(FolderEraseTest, ATreeIsErasedAndRemovedBottomUp) {
    m_h.Sim().AddFile(L"C:\\top\\a.txt", "a");
    m_h.Sim().AddFile(L"C:\\top\\sub\\b.txt", std::string(9000, 'b'));
    m_h.Sim().AddFolder(L"C:\\top\\sub\\deeper", FILE_ATTRIBUTE_READONLY);
    m_h.Sim().AddStream(L"C:\\top\\sub", L"meta", "folder stream");
    const RunOutcome outcome = Erase<CEraseFolderAndContents>(L"C:\\top");
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_EQ(outcome.lines, (Lines{{kFile, L"C:\\top\\a.txt", StatusCompleted},
                                    {kFile, L"C:\\top\\sub\\b.txt", StatusCompleted},
                                    {kFolder, L"C:\\top\\sub\\deeper", StatusCompleted},
                                    {kFolder, L"C:\\top\\sub", StatusCompleted},
                                    {kFolder, L"C:\\top", StatusCompleted}}));
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\top"));
    // The folder's stream is overwritten and deleted before the folder goes.
    const std::wstring sub = L"C:\\top\\sub";
    const size_t journalSize = m_h.Sim().Journal().size();
    EXPECT_LT(IndexOf(SimCall::kWrite, sub, L"meta"), IndexOf(SimCall::kDelete, sub, L"meta"));
    EXPECT_LT(IndexOf(SimCall::kDelete, sub, L"meta"), IndexOf(SimCall::kRemoveDirectory, sub));
    EXPECT_LT(IndexOf(SimCall::kRemoveDirectory, sub), journalSize);
}

TEST_F(FolderEraseTest, SuperHiddenItemsInsideAFolderAreSkippedWhenExcluded) {
    m_h.Sim().AddFile(L"C:\\top\\n.txt", "n");
    m_h.Sim().AddFile(L"C:\\top\\sys.dat", "system", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    m_h.Sim().AddFolder(L"C:\\top\\zsys", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    m_h.Sim().AddFile(L"C:\\top\\zsys\\inner.txt", "inner");
    const RunOutcome outcome = Erase<CEraseFolderAndContents>(L"C:\\top", 0);
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines,
              (Lines{{kFile, L"C:\\top\\n.txt", StatusCompleted},
                     {kFile, L"C:\\top\\sys.dat", StatusFailedSystemFile},
                     {ResultRecord::kFolderAndContents, L"C:\\top\\zsys", StatusFailedSystemFile},
                     {kFolder, L"C:\\top", StatusFailedOther}}));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\top\\sys.dat"), "system");
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\top\\zsys\\inner.txt"), "inner");
}

TEST_F(FolderEraseTest, JunctionsAreRemovedWithoutTouchingTheirTarget) {
    m_h.Sim().AddFile(L"C:\\target\\t.txt", "target data");
    m_h.Sim().AddJunction(L"C:\\top\\link", L"C:\\target");
    RunOutcome outcome = Erase<CEraseFolderAndContents>(L"C:\\top");
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\top\\link", StatusCompleted},
                                    {kFolder, L"C:\\top", StatusCompleted}}));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\target\\t.txt"), "target data");

    // Named as the item itself.
    m_h.Sim().AddJunction(L"C:\\direct", L"C:\\target");
    outcome = Erase<CEraseFolderAndContents>(L"C:\\direct");
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\direct", StatusCompleted}}));
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\direct"));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\target\\t.txt"), "target data");
    EXPECT_TRUE(m_h.Sim().Journal(SimCall::kWrite).empty());
}

TEST_F(FolderEraseTest, FileLinksAreErasedAsLinksAndTheirTargetsKept) {
    m_h.Sim().AddFile(L"C:\\outside\\secret.txt", "not part of the request");
    m_h.Sim().AddSymlink(L"C:\\top\\shortcut.txt", L"C:\\outside\\secret.txt", false);
    m_h.Sim().AddFile(L"C:\\top\\own.txt", "own");
    RunOutcome outcome = Erase<CEraseFolderAndContents>(L"C:\\top");
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\top"));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\outside\\secret.txt"), "not part of the request");
    for (const SimJournalEntry& entry : m_h.Sim().Journal()) {
        EXPECT_EQ(entry.path.find(L"C:\\outside"), std::wstring::npos)
            << "touched the link's target: call " << static_cast<int>(entry.call);
    }

    // Named directly as a file item, the link goes and the target stays.
    m_h.Sim().AddSymlink(L"C:\\direct.txt", L"C:\\outside\\secret.txt", false);
    m_h.Sim().ClearJournal();
    outcome = Erase<CEraseFile>(L"C:\\direct.txt");
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\direct.txt"));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\outside\\secret.txt"), "not part of the request");
    EXPECT_TRUE(m_h.Sim().Journal(SimCall::kWrite).empty());
}

TEST_F(FolderEraseTest, AnEmptyOrRelativeFolderIsRefusedNotResolvedAgainstTheCurrentDrive) {
    m_h.Sim().AddFile(L"C:\\root.txt", "at the root of the drive");
    for (const std::wstring path : {L"", L"relative\\dir", L"\\rooted", L"C:dir"}) {
        SCOPED_TRACE(std::string(path.begin(), path.end()));
        const uint32_t listingsBefore = m_h.Sim().CallCount(SimCall::kFindFirst);
        const RunOutcome outcome = Erase<CEraseContentsOfFolder>(path);
        EXPECT_EQ(outcome.status, StatusFailedOther);
        EXPECT_EQ(outcome.lines, (Lines{{kFolder, path, StatusFailedOther}}));
        EXPECT_EQ(m_h.Sim().CallCount(SimCall::kFindFirst), listingsBefore);  // nothing listed
    }
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\root.txt"), "at the root of the drive");
}

TEST_F(FolderEraseTest, SubFoldersPastThePathLimitAreRefusedAndNotEntered) {
    // Deep enough that the next level crosses 260 characters.
    std::wstring deep = L"C:\\top";
    while (deep.size() + 11 <= 260) {
        deep += L"\\0123456789";
    }
    const std::wstring tooLong = deep + L"\\0123456789";
    m_h.Sim().AddFile(tooLong + L"\\inside.txt", "beyond the limit");
    m_h.Sim().AddFile(L"C:\\top\\near.txt", "near");
    m_h.Sim().ClearJournal();
    const RunOutcome outcome = Erase<CEraseFolderAndContents>(L"C:\\top");

    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\top\\near.txt"));
    EXPECT_EQ(m_h.Sim().ReadAll(tooLong + L"\\inside.txt"), "beyond the limit");
    ASSERT_FALSE(outcome.lines.empty());
    EXPECT_NE(std::find(outcome.lines.begin(), outcome.lines.end(),
                        ResultLine{kFolder, tooLong, StatusFailedOther}),
              outcome.lines.end());
    for (const ResultLine& line : outcome.lines) {
        EXPECT_EQ(line.path.find(L"inside.txt"), std::wstring::npos) << "entered the long folder";
    }
    // The estimate does not descend there either.
    CEraseFolderAndContents estimate = MakeOperation<CEraseFolderAndContents>(L"C:\\top", kDoD);
    estimate.m_platform = m_h.Platform();
    estimate.EstimateWork();
    EXPECT_EQ(estimate.m_fileCount, 0u);
}

TEST_F(FolderEraseTest, MountedVolumesAreReportedAndNeverEntered) {
    m_h.Sim().AddVolume(L'D', kVolumeD, 512, 8, 1024);
    m_h.Sim().AddFile(L"D:\\keep.txt", "on D");
    m_h.Sim().AddMountPoint(L"C:\\top\\mnt", L"D:\\");
    RunOutcome outcome = Erase<CEraseFolderAndContents>(L"C:\\top");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\top\\mnt", StatusFailedOther},
                                    {kFolder, L"C:\\top", StatusFailedOther}}));

    outcome = Erase<CEraseFolderAndContents>(L"C:\\top\\mnt");
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\top\\mnt", StatusFailedOther}}));
    outcome = Erase<CEraseFile>(L"C:\\top\\mnt");
    EXPECT_EQ(outcome.lines, (Lines{{kFile, L"C:\\top\\mnt", StatusFailedOther}}));
    outcome = Erase<CEraseFolderOnly>(L"C:\\top\\mnt");
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\top\\mnt", StatusFailedOther}}));
    EXPECT_EQ(outcome.status, StatusFailedOther);

    EXPECT_EQ(m_h.Sim().ReadAll(L"D:\\keep.txt"), "on D");
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\top\\mnt"));
}

TEST_F(FolderEraseTest, ContentsOfAFolderLeaveTheFolder) {
    m_h.Sim().AddVolume(L'D', kVolumeD, 512, 8, 1024);
    RunOutcome outcome = Erase<CEraseContentsOfFolder>(L"D:\\");
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"D:\\", StatusCompleted}}));

    m_h.Sim().AddFile(L"C:\\keep\\x.txt", "x");
    m_h.Sim().AddStream(L"C:\\keep", L"tag", "t");
    outcome = Erase<CEraseContentsOfFolder>(L"C:\\keep");
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_EQ(outcome.lines, (Lines{{kFile, L"C:\\keep\\x.txt", StatusCompleted}}));
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\keep"));
    EXPECT_TRUE(m_h.Sim().StreamNames(L"C:\\keep").empty());
}

TEST_F(FolderEraseTest, FolderOnlyRemovesAnEmptyFolderAndNothingElse) {
    m_h.Sim().AddFolder(L"C:\\empty", FILE_ATTRIBUTE_READONLY);
    m_h.Sim().AddStream(L"C:\\empty", L"s", "stream");
    RunOutcome outcome = Erase<CEraseFolderOnly>(L"C:\\empty");
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\empty", StatusCompleted}}));
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\empty"));

    m_h.Sim().AddFile(L"C:\\full\\f.txt", "f");
    outcome = Erase<CEraseFolderOnly>(L"C:\\full");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\full", StatusFailedOther}}));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\full\\f.txt"), "f");

    outcome = Erase<CEraseFolderOnly>(L"C:\\absent");
    EXPECT_EQ(outcome.lines, (Lines{{kFolder, L"C:\\absent", StatusFailedOther}}));
}

TEST_F(FolderEraseTest, MissingOrWildcardFoldersAreNotFound) {
    m_h.Sim().AddFile(L"C:\\data\\d.txt", "d");
    for (const wchar_t* path : {L"C:\\nothing", L"C:\\dat*", L"C:\\dat?"}) {
        const RunOutcome outcome = Erase<CEraseFolderAndContents>(path);
        EXPECT_EQ(outcome.status, StatusFailedOther);
        EXPECT_EQ(outcome.lines,
                  (Lines{{ResultRecord::kFolderAndContents, path, StatusFailedOther}}));
    }
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\data\\d.txt"), "d");
}

TEST_F(FolderEraseTest, OverLongItemsInsideATreeAreRefusedOneByOne) {
    std::wstring deep = L"C:\\top";
    while (deep.size() < 255) {
        deep += L"\\abcdefgh";
    }
    const std::wstring longFile = deep + L"\\a_long_file.txt";
    m_h.Sim().AddFile(longFile, "long");
    m_h.Sim().AddFile(L"C:\\top\\short.txt", "short");
    const RunOutcome outcome = Erase<CEraseFolderAndContents>(L"C:\\top");
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_NE(std::find(outcome.lines.begin(), outcome.lines.end(),
                        ResultLine(kFile, longFile, StatusFailedOther)),
              outcome.lines.end());
    EXPECT_EQ(m_h.Sim().ReadAll(longFile), "long");
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\top\\short.txt"));
}

}  // namespace
}  // namespace qmz
