// The engine on real files through the Win32 file system (run under Wine).
#ifdef _WIN32

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/overwrite_core.h"
#include "platform/win32/win32_file_system.h"
#include "tests/engine/engine_harness.h"
#include "tests/support/scratch_folder.h"

namespace qmz {
namespace {

using Lines = std::vector<ResultLine>;

// Real files keep no journal, so the calls a test looks at are noted on their way to
// them: each write (afterwards, by number) and the changes that end a file. Everything
// else is the real file system's own. Used by the worker thread only while it runs.
class CWatchedFileSystem : public CWin32FileSystem {
public:
    uint32_t Open(const std::wstring& path, uint32_t access, uint32_t share, uint32_t disposition,
                  uint32_t flags, std::unique_ptr<IFileHandle>* handle) override;
    uint32_t Move(const std::wstring& from, const std::wstring& to) override {
        m_changes.push_back(L"Move " + from + L" -> " + to);
        return CWin32FileSystem::Move(from, to);
    }
    uint32_t Delete(const std::wstring& path) override {
        m_changes.push_back(L"Delete " + path);
        return CWin32FileSystem::Delete(path);
    }

    std::function<void(uint32_t number)> m_afterWrite;
    uint32_t m_writes = 0;
    std::vector<std::wstring> m_changes;  // "Call path[ -> target]"
};

class CWatchedHandle : public IFileHandle {
public:
    CWatchedHandle(CWatchedFileSystem* owner, std::unique_ptr<IFileHandle> inner,
                   const std::wstring& path)
        : m_owner(owner), m_inner(std::move(inner)), m_path(path) {}

    uint32_t Read(void* b, uint32_t n, uint32_t* r) override { return m_inner->Read(b, n, r); }
    uint32_t Write(const void* b, uint32_t n, uint32_t* w) override {
        const uint32_t error = m_inner->Write(b, n, w);
        if (error == ERROR_SUCCESS && m_owner->m_afterWrite) {
            m_owner->m_afterWrite(++m_owner->m_writes);
        }
        return error;
    }
    uint32_t Seek(int64_t d, uint32_t m, uint64_t* p) override { return m_inner->Seek(d, m, p); }
    uint32_t SetEndOfFile() override {
        m_owner->m_changes.push_back(L"SetEndOfFile " + m_path);
        return m_inner->SetEndOfFile();
    }
    uint32_t Flush() override { return m_inner->Flush(); }
    uint32_t GetSize(uint64_t* s) override { return m_inner->GetSize(s); }
    uint32_t QueryStreams(uint32_t b, std::vector<StreamInfo>* s) override {
        return m_inner->QueryStreams(b, s);
    }
    uint32_t SetZeroOnDeallocation() override { return m_inner->SetZeroOnDeallocation(); }
    uint32_t QueryAllocatedRanges(uint64_t o, uint64_t l, uint32_t m,
                                  std::vector<AllocatedRange>* r) override {
        return m_inner->QueryAllocatedRanges(o, l, m, r);
    }
    uint32_t SetZeroData(uint64_t b, uint64_t e) override { return m_inner->SetZeroData(b, e); }
    uint32_t GetRetrievalPointers(int64_t v, uint32_t b, RetrievalPointers* p) override {
        return m_inner->GetRetrievalPointers(v, b, p);
    }
    uint32_t GetFinalPath(std::wstring* p) override { return m_inner->GetFinalPath(p); }
    uint32_t GetReparsePoint(uint32_t* t, std::wstring* s) override {
        return m_inner->GetReparsePoint(t, s);
    }
    uint32_t SetCompression(uint16_t f) override { return m_inner->SetCompression(f); }
    uint32_t GetLengthInfo(uint64_t* l) override { return m_inner->GetLengthInfo(l); }

private:
    CWatchedFileSystem* m_owner;
    std::unique_ptr<IFileHandle> m_inner;
    std::wstring m_path;
};

uint32_t CWatchedFileSystem::Open(const std::wstring& path, uint32_t access, uint32_t share,
                                  uint32_t disposition, uint32_t flags,
                                  std::unique_ptr<IFileHandle>* handle) {
    const uint32_t error = CWin32FileSystem::Open(path, access, share, disposition, flags, handle);
    if (error == ERROR_SUCCESS) {
        *handle = std::make_unique<CWatchedHandle>(this, std::move(*handle), path);
    }
    return error;
}

class Win32EraseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(m_folder.Path().empty()); }

    std::wstring Path(const std::wstring& name) const { return m_folder.Path() + L"\\" + name; }
    // The form in which the engine hands every path to the file system.
    std::wstring Verbatim(const std::wstring& name) const { return L"\\\\?\\" + Path(name); }

    void Write(const std::wstring& name, const std::string& data, DWORD attributes = 0) {
        const std::wstring path = Path(name);
        const size_t slash = path.rfind(L'\\');
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
        CloseHandle(file);
        if (attributes != 0) {
            SetFileAttributesW(path.c_str(), attributes);
        }
    }

    std::string Read(const std::wstring& name) { return ReadRealFile(Path(name)); }

    bool Exists(const std::wstring& name) {
        return GetFileAttributesW(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    CWin32FileSystem m_fileSystem;
    CScratchFolder m_folder{L"qmz_engine"};
};

TEST_F(Win32EraseTest, PassesOverARegionLeaveTheLastPatternAndVerify) {
    Write(L"region.bin", std::string(3 * 4096 + 100, 'x'));
    CEngineHarness harness(&m_fileSystem);
    MethodEntry method;
    const uint32_t codes[] = {0x11, PassRandom, 0x33, PassVerify, PassListEnd};
    std::copy(std::begin(codes), std::end(codes), method.PassCodes);
    CEraseFile operation;
    operation.m_method = &method;
    operation.m_platform = harness.Platform();

    std::unique_ptr<IFileHandle> handle;
    ASSERT_EQ(m_fileSystem.Open(Path(L"region.bin"), GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING,
                                FILE_FLAG_WRITE_THROUGH, &handle),
              ERROR_SUCCESS);
    ASSERT_EQ(handle->Seek(4096, FILE_BEGIN, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RunPasses(&operation, handle.get(), 4096, 2 * 4096 + 50), 1);
    handle.reset();

    const std::string data = Read(L"region.bin");
    ASSERT_EQ(data.size(), 3 * 4096 + 100u);
    EXPECT_EQ(data.substr(0, 4096), std::string(4096, 'x'));
    EXPECT_EQ(data.substr(4096, 2 * 4096 + 50), std::string(2 * 4096 + 50, '\x33'));
    EXPECT_EQ(data.substr(3 * 4096 + 50), std::string(50, 'x'));
}

TEST_F(Win32EraseTest, AFileIsOverwrittenTruncatedRenamedAndDeleted) {
    Write(L"secret.txt", std::string(10000, 's'));
    Write(L"ro.txt", "read-only", FILE_ATTRIBUTE_READONLY);
    CWatchedFileSystem watched;
    CEngineHarness harness(&watched);
    std::string seenDuringPasses;
    watched.m_afterWrite = [&](uint32_t n) {
        if (n == 2) {
            seenDuringPasses = Read(L"secret.txt");
        }
    };
    RunOutcome outcome = harness.Run(MakeOperation<CEraseFile>(Path(L"secret.txt"), kNcsc));
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_TRUE(seenDuringPasses == "<missing>");  // nobody else may open it meanwhile
    EXPECT_EQ(watched.m_changes, (std::vector<std::wstring>{
                                     L"SetEndOfFile " + Verbatim(L"secret.txt"),
                                     L"Move " + Verbatim(L"secret.txt") + L" -> " + Verbatim(L"$1"),
                                     L"Delete " + Verbatim(L"$1")}));
    EXPECT_FALSE(Exists(L"secret.txt"));
    EXPECT_FALSE(Exists(L"$1"));

    outcome = harness.Run(MakeOperation<CEraseFile>(Path(L"ro.txt"), kDoD));
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_FALSE(Exists(L"ro.txt"));
}

TEST_F(Win32EraseTest, AFileHeldOpenWithoutSharingIsReportedAndKept) {
    Write(L"held.txt", "held data");
    HANDLE holder =
        CreateFileW(Path(L"held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    CEngineHarness harness(&m_fileSystem);
    const RunOutcome outcome = harness.Run(MakeOperation<CEraseFile>(Path(L"held.txt"), kDoD));
    CloseHandle(holder);
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, Path(L"held.txt"), StatusFailedOther}}));
    EXPECT_EQ(Read(L"held.txt"), "held data");
    EXPECT_FALSE(Exists(L"$1"));
}

TEST_F(Win32EraseTest, AFolderTreeIsRemovedBottomUpAndEstimated) {
    Write(L"tree\\a.txt", std::string(1000, 'a'));
    Write(L"tree\\sub\\b.txt", std::string(24, 'b'));
    CreateDirectoryW(Path(L"tree\\sub\\empty").c_str(), nullptr);

    CEngineHarness harness(&m_fileSystem);
    CEraseFolderAndContents tree = MakeOperation<CEraseFolderAndContents>(Path(L"tree"), kDoD);
    tree.m_platform = harness.Platform();
    tree.EstimateWork();
    EXPECT_EQ(tree.m_bytesToWrite, 1024u * 4);
    EXPECT_EQ(tree.m_fileCount, 2u);
    EXPECT_EQ(tree.m_folderCount, 3u);

    const RunOutcome outcome = harness.Run(tree);
    EXPECT_EQ(outcome.status, StatusCompleted);
    // The host file system decides the enumeration order; only bottom-up is fixed.
    const auto at = [&](const ResultLine& line) {
        return std::find(outcome.lines.begin(), outcome.lines.end(), line) - outcome.lines.begin();
    };
    const ResultLine a(ResultRecord::kFile, Path(L"tree\\a.txt"), StatusCompleted);
    const ResultLine b(ResultRecord::kFile, Path(L"tree\\sub\\b.txt"), StatusCompleted);
    const ResultLine empty(ResultRecord::kFolder, Path(L"tree\\sub\\empty"), StatusCompleted);
    const ResultLine sub(ResultRecord::kFolder, Path(L"tree\\sub"), StatusCompleted);
    const ResultLine top(ResultRecord::kFolder, Path(L"tree"), StatusCompleted);
    ASSERT_EQ(outcome.lines.size(), 5u);
    EXPECT_LT(at(a), 5);
    EXPECT_LT(at(b), at(sub));
    EXPECT_LT(at(empty), at(sub));
    EXPECT_EQ(at(top), 4);
    EXPECT_FALSE(Exists(L"tree"));
}

// Win32 drops trailing dots and blanks from a plain path's last name; the engine must not
// let "victim." or "victim " reach "victim", nor a "/" move the rename elsewhere.
TEST_F(Win32EraseTest, NamesThatWin32WouldRewriteReachNoOtherFile) {
    Write(L"victim", "victim data");
    CreateDirectoryW(Path(L"dir").c_str(), nullptr);
    Write(L"dir\\sub\\slashed.txt", std::string(3000, 's'));
    CWatchedFileSystem watched;
    CEngineHarness harness(&watched);
    for (const wchar_t* name : {L"victim.", L"victim ", L"victim.. "}) {
        const RunOutcome outcome = harness.Run(MakeOperation<CEraseFile>(Path(name), kNcsc));
        EXPECT_EQ(outcome.status, StatusFailedOther) << testing::PrintToString(std::wstring(name));
    }
    EXPECT_EQ(Read(L"victim"), "victim data");
    EXPECT_TRUE(watched.m_changes.empty());

    const std::wstring slashed = m_folder.Path() + L"\\dir/sub/slashed.txt";
    const RunOutcome outcome = harness.Run(MakeOperation<CEraseFile>(slashed, kNcsc));
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_FALSE(Exists(L"dir\\sub\\slashed.txt"));
    EXPECT_FALSE(Exists(L"dir\\$1"));
    ASSERT_EQ(watched.m_changes.size(), 3u);
    EXPECT_EQ(watched.m_changes[1],
              L"Move " + Verbatim(L"dir\\sub\\slashed.txt") + L" -> " + Verbatim(L"dir\\sub\\$1"));
}

}  // namespace
}  // namespace qmz

#endif  // _WIN32
