// The whole-volume erase through the real queue and worker on simulated volumes: all
// that lies on the volume is deleted and its former clusters are overwritten, while
// what links and mount points lead to stays whole.
#include <gtest/gtest.h>

#include <functional>

#include "engine/volume_erase.h"
#include "ops/control_operations.h"
#include "tests/engine/engine_harness.h"

namespace qmz {
namespace {

using Lines = std::vector<ResultLine>;
constexpr wchar_t kVolumeE[] = L"\\\\?\\Volume{0000000e-0000-0000-0000-0000000000e1}\\";
constexpr wchar_t kVolumeF[] = L"\\\\?\\Volume{0000000f-0000-0000-0000-0000000000f1}\\";
constexpr uint64_t kClustersE = 2048;

// The simulated file system with a hook on deletions: how a test acts at an exact moment
// of a phase that writes nothing.
class CDeleteHook final : public IFileSystem {
public:
    CDeleteHook(IFileSystem* inner, std::function<void(uint32_t)> onDelete)
        : m_inner(inner), m_onDelete(std::move(onDelete)) {}
    uint32_t Delete(const std::wstring& path) override {
        const uint32_t rc = m_inner->Delete(path);
        m_onDelete(++m_deletes);
        return rc;
    }
    uint32_t GetAttributes(const std::wstring& p, uint32_t* a) override {
        return m_inner->GetAttributes(p, a);
    }
    uint32_t GetAttributesEx(const std::wstring& p, FileAttributeData* d) override {
        return m_inner->GetAttributesEx(p, d);
    }
    uint32_t SetAttributes(const std::wstring& p, uint32_t a) override {
        return m_inner->SetAttributes(p, a);
    }
    uint32_t FindFirst(const std::wstring& p, std::unique_ptr<IFindHandle>* f,
                       FindData* d) override {
        return m_inner->FindFirst(p, f, d);
    }
    uint32_t Open(const std::wstring& p, uint32_t a, uint32_t s, uint32_t d, uint32_t f,
                  std::unique_ptr<IFileHandle>* h) override {
        return m_inner->Open(p, a, s, d, f, h);
    }
    uint32_t CreateFolder(const std::wstring& p) override { return m_inner->CreateFolder(p); }
    uint32_t Move(const std::wstring& f, const std::wstring& t) override {
        return m_inner->Move(f, t);
    }
    uint32_t RemoveFolder(const std::wstring& p) override { return m_inner->RemoveFolder(p); }
    uint32_t MakeWritable(const std::wstring& p) override { return m_inner->MakeWritable(p); }
    uint32_t GetVolumePath(const std::wstring& p, std::wstring* v) override {
        return m_inner->GetVolumePath(p, v);
    }
    uint32_t GetVolumeNameForMountPoint(const std::wstring& p, std::wstring* v) override {
        return m_inner->GetVolumeNameForMountPoint(p, v);
    }
    uint32_t QueryFreeSpace(const std::wstring& r, DiskFreeSpace* s) override {
        return m_inner->QueryFreeSpace(r, s);
    }
    uint32_t QueryFreeSpaceEx(const std::wstring& p, DiskFreeSpaceEx* s) override {
        return m_inner->QueryFreeSpaceEx(p, s);
    }

private:
    IFileSystem* m_inner;
    std::function<void(uint32_t)> m_onDelete;
    uint32_t m_deletes = 0;
};

class EntirePartitionEraseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Sim().AddVolume(L'E', kVolumeE, 512, kCluster / 512, kClustersE), ERROR_SUCCESS);
    }
    // Clusters of E: that hold `byte` in every one of their bytes.
    uint64_t ClustersHolding(char byte) {
        const std::string volume = Sim().ReadClusters(L"E:\\", 0, kClustersE);
        uint64_t count = 0;
        for (uint64_t lcn = 0; lcn < kClustersE; ++lcn) {
            if (volume.compare(lcn * kCluster, kCluster, std::string(kCluster, byte)) == 0) {
                ++count;
            }
        }
        return count;
    }
    bool RootIsEmpty() {
        std::unique_ptr<IFindHandle> find;
        FindData entry;
        uint32_t rc = Sim().FindFirst(L"E:\\*", &find, &entry);
        for (; rc == ERROR_SUCCESS; rc = find->Next(&entry)) {
            if (entry.name != L"." && entry.name != L"..") {
                return false;
            }
        }
        return true;
    }
    CSimFileSystem& Sim() { return m_h.Sim(); }
    CEngineHarness m_h;
};

TEST_F(EntirePartitionEraseTest, EverythingIsDeletedAndItsClustersOverwrittenWithOneLine) {
    ASSERT_EQ(Sim().AddFile(L"E:\\a.txt", std::string(300000, 'M')), ERROR_SUCCESS);
    ASSERT_EQ(
        Sim().AddFile(L"E:\\dir\\sub\\b.txt", std::string(70000, 'M'), FILE_ATTRIBUTE_READONLY),
        ERROR_SUCCESS);
    // Deleted whatever the super-hidden setting says.
    ASSERT_EQ(Sim().AddFile(L"E:\\dir\\sys.bin", std::string(9000, 'M'),
                            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddStream(L"E:\\dir\\sub\\b.txt", L"ads", std::string(5000, 'M')),
              ERROR_SUCCESS);
    ASSERT_GT(ClustersHolding('M'), 90u);

    CEraseEntirePartition operation = MakeOperation<CEraseEntirePartition>(L"E:", kNcsc);
    operation.m_includeSuperHidden = 0;
    const RunOutcome outcome = m_h.Run(operation);

    EXPECT_EQ(outcome.status, StatusCompleted);
    ASSERT_EQ(outcome.lines.size(), 1u);
    EXPECT_EQ(outcome.lines[0].kind, OperationKind::kEraseEntirePartition);
    EXPECT_EQ(outcome.lines[0].path, L"E:");
    EXPECT_EQ(outcome.lines[0].status, StatusCompleted);
    EXPECT_TRUE(RootIsEmpty());
    EXPECT_TRUE(Sim().Exists(L"E:\\"));  // the root itself stays
    // Deleting wrote nothing; the fill then reached every cluster of the volume.
    EXPECT_EQ(ClustersHolding('M'), 0u);
    EXPECT_EQ(ClustersHolding('\xE5'), kClustersE);
    EXPECT_EQ(Sim().OpenHandleCount(), 0u);
}

TEST_F(EntirePartitionEraseTest, LinksAndMountPointsAreRemovedAndWhatTheyReachStaysWhole) {
    ASSERT_EQ(Sim().AddFile(L"C:\\target\\precious.txt", "precious"), ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddFile(L"E:\\inside\\mine.txt", "on E"), ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddJunction(L"E:\\to-c", L"C:\\target"), ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddJunction(L"E:\\to-e", L"E:\\inside"), ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddSymlink(L"E:\\file-link", L"C:\\target\\precious.txt", false),
              ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddVolume(0, kVolumeF, 512, 8, 1024), ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddFolder(L"E:\\mnt"), ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddMountPoint(L"E:\\mnt\\f", kVolumeF), ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddFile(L"E:\\mnt\\f\\on-f.txt", "on F"), ERROR_SUCCESS);
    // A link the system does not present as one: deleting it would delete its target.
    ASSERT_EQ(Sim().AddHostLink(L"E:\\host-link", L"C:\\target\\precious.txt", false),
              ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddHostLink(L"E:\\host-dir", L"C:\\target", true), ERROR_SUCCESS);

    const RunOutcome outcome = m_h.Run(MakeOperation<CEraseEntirePartition>(L"E:\\", kQuickZero));

    EXPECT_EQ(Sim().ReadAll(L"C:\\target\\precious.txt"), "precious");
    EXPECT_FALSE(Sim().Exists(L"E:\\to-c"));
    EXPECT_FALSE(Sim().Exists(L"E:\\to-e"));
    EXPECT_FALSE(Sim().Exists(L"E:\\file-link"));
    EXPECT_FALSE(Sim().Exists(L"E:\\inside"));
    // The mount point went; the volume it led to keeps its files.
    EXPECT_FALSE(Sim().Exists(L"E:\\mnt"));
    EXPECT_EQ(Sim().ReadAll(std::wstring(kVolumeF) + L"on-f.txt"), "on F");
    // The disguised links stay, each with its line, and so does the delete phase's.
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_TRUE(Sim().Exists(L"E:\\host-link"));
    EXPECT_TRUE(Sim().Exists(L"E:\\host-dir"));
    EXPECT_EQ(outcome.lines.size(), 3u);
    for (const ResultLine& line : outcome.lines) {
        EXPECT_EQ(line.status, StatusFailedOther) << line;
    }
    EXPECT_EQ(outcome.lines.back().kind, OperationKind::kEraseContentsOfFolder);
    EXPECT_EQ(outcome.lines.back().path, L"E:\\");
}

TEST_F(EntirePartitionEraseTest, AFileInUseIsReportedAndTheFillStillRuns) {
    ASSERT_EQ(Sim().AddFile(L"E:\\busy.db", std::string(20000, 'B')), ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddFile(L"E:\\gone.txt", std::string(50000, 'M')), ERROR_SUCCESS);
    ASSERT_EQ(Sim().HoldOpen(L"E:\\busy.db", FILE_SHARE_READ), ERROR_SUCCESS);

    const RunOutcome outcome = m_h.Run(MakeOperation<CEraseEntirePartition>(L"E:", kNcsc));

    EXPECT_EQ(outcome.status, StatusFailedOther);
    ASSERT_EQ(outcome.lines.size(), 2u);
    EXPECT_EQ(outcome.lines[0],
              (ResultLine{ResultRecord::kFile, L"E:\\busy.db", StatusFailedOther}));
    EXPECT_EQ(outcome.lines[1].kind, OperationKind::kEraseContentsOfFolder);
    EXPECT_EQ(outcome.lines[1].status, StatusFailedOther);
    EXPECT_EQ(Sim().ReadAll(L"E:\\busy.db"), std::string(20000, 'B'));
    EXPECT_EQ(ClustersHolding('M'), 0u);
    EXPECT_EQ(ClustersHolding('\xE5'), kClustersE - 5);  // all but the file in use
}

TEST_F(EntirePartitionEraseTest, AnAbortWhileDeletingSkipsTheFill) {
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(Sim().AddFile(L"E:\\f" + std::to_wstring(i), "x"), ERROR_SUCCESS);
    }
    CDeleteHook hook(&Sim(), [this](uint32_t deletes) {
        if (deletes == 5) {
            m_h.Queue().InsertControlOperation(CDiscardPausedOperation());
        }
    });
    m_h.SimPlatform().UseFileSystem(&hook);
    const RunOutcome outcome = m_h.Run(MakeOperation<CEraseEntirePartition>(L"E:", kNcsc));
    EXPECT_EQ(outcome.status, StatusAborted);
    EXPECT_EQ(Sim().CallCount(SimCall::kDelete), 5u);  // no entry after the abort
    EXPECT_TRUE(Sim().Journal(SimCall::kWrite).empty());
    ASSERT_FALSE(outcome.lines.empty());
    EXPECT_EQ(outcome.lines.back().kind, OperationKind::kEraseContentsOfFolder);
    EXPECT_EQ(outcome.lines.back().status, StatusAborted);
}

TEST_F(EntirePartitionEraseTest, OnlyAVolumeRootIsTakenAndNeverTheWindowsVolume) {
    ASSERT_EQ(Sim().AddFile(L"E:\\dir\\keep.txt", "keep"), ERROR_SUCCESS);
    // Windows runs from E:, which is also mounted at C:\e.
    ASSERT_EQ(Sim().AddFolder(L"E:\\Windows"), ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddMountPoint(L"C:\\e", kVolumeE), ERROR_SUCCESS);
    m_h.SimPlatform().Shell().SetFolder(kCsidlWindows, FolderOwner::kCurrentUser, L"E:\\Windows");
    for (const wchar_t* path : {L"E:\\dir", L"dir", L"", L"E:", L"C:\\e\\"}) {
        const RunOutcome outcome = m_h.Run(MakeOperation<CEraseEntirePartition>(path, kNcsc));
        EXPECT_EQ(outcome.status, StatusFailedOther);
    }
    EXPECT_EQ(Sim().ReadAll(L"E:\\dir\\keep.txt"), "keep");
    EXPECT_TRUE(Sim().Exists(L"E:\\Windows"));
    EXPECT_TRUE(Sim().Journal(SimCall::kWrite).empty());
    EXPECT_TRUE(Sim().Journal(SimCall::kDelete).empty());
}

TEST_F(EntirePartitionEraseTest, EstimateIsEveryPassOverTheWholeVolume) {
    constexpr uint64_t kGiB = 1073741824;
    ASSERT_EQ(Sim().AddVolume(L'G', kVolumeF, 512, 8, 100 * kGiB / 4096), ERROR_SUCCESS);
    ASSERT_EQ(Sim().AddFile(L"G:\\some.bin", std::string(100000, 's')), ERROR_SUCCESS);
    CEraseEntirePartition operation = MakeOperation<CEraseEntirePartition>(L"G:", kNcsc);
    operation.m_platform = m_h.Platform();
    operation.EstimateWork();
    EXPECT_EQ(operation.m_bytesToWrite, 300 * kGiB);  // however full the volume is
    EXPECT_EQ(operation.m_fileCount, 0u);

    // The device's own length, when it can be opened, is what the estimate takes.
    SimVolumeKind kind;
    kind.deviceBytes = 100 * kGiB + 1048576;
    ASSERT_EQ(Sim().SetVolumeKind(L"G:\\", kind), ERROR_SUCCESS);
    operation.EstimateWork();
    EXPECT_EQ(operation.m_bytesToWrite, 3 * (100 * kGiB + 1048576));
}

}  // namespace
}  // namespace qmz
