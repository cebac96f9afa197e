// The erase log on the simulated volume: both record layouts byte for byte, appending,
// sharing, characters the code page lacks, and the records a real folder erase writes
// through the coordinator.
#include "ui/model/erase_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/erase_operations.h"
#include "engine/method_table.h"
#include "ops/erase_coordinator.h"
#include "tests/support/coordinator_window.h"

namespace qmz {
namespace {

constexpr wchar_t kVolume[] = L"\\\\?\\Volume{0000000c-0000-0000-0000-00000000106c}\\";
constexpr wchar_t kDateTime[] = L"2009/06/15 9:05:30";

class EraseLogTest : public ::testing::Test {
protected:
    EraseLogTest() {
        Volume().AddVolume(L'C', kVolume, 512, 8, 4096);
        Volume().AddFolder(L"C:\\logs");
        // A double-byte code page as Japanese Windows has it (932).
        m_platform.CodePage().Add(0x65E5, "\x93\xFA");  // 日
        m_platform.CodePage().Add(0x672C, "\x96\x7B");  // 本
    }
    CSimFileSystem& Volume() { return m_platform.FileSystem(); }

    CSimPlatform m_platform;
};

LogRecord Record(const std::wstring& path, const std::wstring& status) {
    return {path, L"ファイル消去", L"DoD 5220.22-M", status, kDateTime, L"QMZ-PC\\tanaka"};
}

TEST_F(EraseLogTest, CsvAndPlainRecordsAreWrittenByteForByte) {
    CEraseLog log(m_platform.Services());
    m_platform.CodePage().Add(0x30D5, "\x83\x74");  // フ
    m_platform.CodePage().Add(0x30A1, "\x83\x40");  // ァ
    m_platform.CodePage().Add(0x30A4, "\x83\x43");  // イ
    m_platform.CodePage().Add(0x30EB, "\x83\x8B");  // ル
    m_platform.CodePage().Add(0x6D88, "\x8F\xC1");  // 消
    m_platform.CodePage().Add(0x53BB, "\x8B\x8E");  // 去
    const std::string kind = "\x83\x74\x83\x40\x83\x43\x83\x8B\x8F\xC1\x8B\x8E";
    const std::string tail = "DoD 5220.22-M";
    const std::string stamp = "2009/06/15 9:05:30";
    const std::string account = "QMZ-PC\\tanaka";

    ASSERT_TRUE(log.Open(L"C:\\logs\\erase.CSV"));
    EXPECT_TRUE(log.IsCsv());
    ASSERT_TRUE(log.Write(Record(L"C:\\a \"quoted\".txt", L"done")));
    ASSERT_TRUE(log.Write(Record(L"C:\\b.txt", L"failed")));
    log.Close();
    EXPECT_EQ(Volume().ReadAll(L"C:\\logs\\erase.CSV"),
              "\"C:\\a \"quoted\".txt\",\"" + kind + "\",\"" + tail + "\",\"done\",\"" + stamp +
                  "\",\"" + account + "\"\r\n" + "\"C:\\b.txt\",\"" + kind + "\",\"" + tail +
                  "\",\"failed\",\"" + stamp + "\",\"" + account + "\"\r\n");

    ASSERT_TRUE(log.Open(L"C:\\logs\\erase.txt"));
    EXPECT_FALSE(log.IsCsv());
    ASSERT_TRUE(log.Write(Record(L"C:\\a.txt", L"done")));
    ASSERT_TRUE(log.Write(Record(L"C:\\b.txt", L"failed")));
    log.Close();
    const std::string fields = kind + "\r\n" + tail + "\r\n";
    EXPECT_EQ(Volume().ReadAll(L"C:\\logs\\erase.txt"),
              "C:\\a.txt\r\n" + fields + "done\r\n" + stamp + "\r\n" + account + "\r\n\r\n" +
                  "C:\\b.txt\r\n" + fields + "failed\r\n" + stamp + "\r\n" + account + "\r\n\r\n");
    // Only the last four characters decide.
    ASSERT_TRUE(log.Open(L"C:\\logs\\erase.csv.log"));
    EXPECT_FALSE(log.IsCsv());
}

TEST_F(EraseLogTest, AppendsFlushedRecordsAndLetsOthersOnlyRead) {
    const std::wstring path = L"C:\\logs\\erase.csv";
    Volume().AddFile(path, "earlier\r\n");
    CEraseLog log(m_platform.Services());
    const LogRecord record = {L"C:\\x", L"k", L"m", L"s", L"t", L""};
    const std::string line = "\"C:\\x\",\"k\",\"m\",\"s\",\"t\",\"\"\r\n";

    ASSERT_TRUE(log.Open(path));
    ASSERT_TRUE(log.Write(record));
    EXPECT_EQ(Volume().CallCount(SimCall::kFlush), 1u);
    // Readers are welcome while the log is open; other writers are not.
    std::unique_ptr<IFileHandle> other;
    EXPECT_EQ(Volume().Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                            0, &other),
              ERROR_SUCCESS);
    other.reset();
    EXPECT_EQ(Volume().Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                            0, &other),
              ERROR_SHARING_VIOLATION);
    // Reopening (the settings confirmed again) appends as well.
    ASSERT_TRUE(log.Open(path));
    ASSERT_TRUE(log.Write(record));
    EXPECT_EQ(Volume().CallCount(SimCall::kFlush), 2u);
    EXPECT_EQ(Volume().ReadAll(path), "earlier\r\n" + line + line);
    log.Close();
    EXPECT_EQ(Volume().OpenHandleCount(), 0u);
}

TEST_F(EraseLogTest, CharactersOutsideTheCodePageAreWrittenAsCodePoints) {
    CEraseLog log(m_platform.Services());
    ASSERT_TRUE(log.Open(L"C:\\logs\\erase.csv"));
    // U+1F600 is a surrogate pair on Windows and one wchar_t natively: one code point.
    const std::wstring path = L"C:\\\u65E5\u672C\\caf\u00E9\U0001F600\u672C.txt";
    ASSERT_TRUE(log.Write({path, L"k", L"m", L"s", L"t", L"PC\\\u00C5sa"}));
    EXPECT_EQ(Volume().ReadAll(L"C:\\logs\\erase.csv"),
              "\"C:\\\x93\xFA\x96\x7B\\caf<U+00E9><U+1F600>\x96\x7B.txt\",\"k\",\"m\",\"s\","
              "\"t\",\"PC\\<U+00C5>sa\"\r\n");
}

TEST_F(EraseLogTest, ALogThatCannotBeOpenedStaysClosed) {
    CEraseLog log(m_platform.Services());
    ASSERT_TRUE(log.Open(L"C:\\logs\\first.txt"));
    // Held by another program that shares nothing.
    Volume().AddFile(L"C:\\logs\\held.txt", "held");
    std::unique_ptr<IFileHandle> holder;
    ASSERT_EQ(Volume().Open(L"C:\\logs\\held.txt", GENERIC_READ, 0, OPEN_EXISTING, 0, &holder),
              ERROR_SUCCESS);
    EXPECT_FALSE(log.Open(L"C:\\logs\\held.txt"));
    EXPECT_FALSE(log.IsOpen());
    EXPECT_FALSE(log.Write({L"C:\\x", L"k", L"m", L"s", L"t", L""}));
    EXPECT_FALSE(log.Open(L"C:\\missing\\erase.txt"));
    EXPECT_FALSE(log.Open(L"C:\\logs\\bad|name.txt"));
    EXPECT_FALSE(log.IsOpen());
    holder.reset();
    EXPECT_EQ(Volume().ReadAll(L"C:\\logs\\held.txt"), "held");
    EXPECT_EQ(Volume().ReadAll(L"C:\\logs\\first.txt"), "");
    EXPECT_EQ(Volume().OpenHandleCount(), 0u);
}

// Plays the main window with logging on: every item result becomes a log record before
// the counters move.
class CLoggingWindow : public CCoordinatorWindow {
public:
    CLoggingWindow(CSimPlatform* platform, CEraseCoordinator* coordinator, CEraseLog* log,
                   const StatusTexts* statusTexts)
        : CCoordinatorWindow(platform, coordinator),
          m_clock(&platform->Clock()),
          m_log(log),
          m_statusTexts(statusTexts) {}

    void ItemFinished(const CEraseOperationBase& record) override {
        size_t counted = 0;
        for (const std::wstring& line : Progress()) {
            counted += line.compare(0, 9, L"counters ") == 0 ? 1 : 0;
        }
        EXPECT_EQ(counted, m_logged) << "counted before logged: " << record.m_path;
        EXPECT_TRUE(m_log->Write(MakeLogRecord(record, *m_statusTexts, m_clock)));
        ++m_logged;
    }

private:
    IClock* m_clock;
    CEraseLog* m_log;
    const StatusTexts* m_statusTexts;
    size_t m_logged = 0;
};

TEST_F(EraseLogTest, AFolderEraseLogsEveryFileAndTheFolderAfterWhatWasThere) {
    auto loadString = [](uint32_t id) { return L"text" + std::to_wstring(id); };
    LoadOperationNames(loadString);
    StatusTexts statusTexts;
    statusTexts.Load(loadString);
    const std::wstring completed = statusTexts.Text(StatusCompleted);
    const std::wstring fileKind = OperationName(OperationKind::kEraseFile);
    const std::wstring folderKind = OperationName(OperationKind::kEraseFolderOnly);
    ASSERT_FALSE(completed.empty());
    ASSERT_NE(fileKind, folderKind);

    Volume().AddFile(L"C:\\data\\one.txt", std::string(3000, '1'));
    Volume().AddFile(L"C:\\data\\two.txt", std::string(20, '2'));
    Volume().AddFile(L"C:\\data\\three.txt", "3");
    const std::wstring logPath = L"C:\\logs\\erase.txt";
    Volume().AddFile(logPath, "kept\r\n");
    m_platform.Clock().SetLocalDateTimeText(L"2024/03/09 23:59:58");
    MethodEntry method = *LookupMethod(3);
    method.Name = L"three passes";

    CEraseLog log(m_platform.Services());
    ASSERT_TRUE(log.Open(logPath));
    CEraseCoordinator coordinator(m_platform.Services(), ModifiedMethodSlot());
    CLoggingWindow window(&m_platform, &coordinator, &log, &statusTexts);
    auto request = std::make_unique<CEraseFolderAndContents>();
    request->m_path = L"C:\\data";
    request->m_method = &method;
    request->m_userName = L"QMZ-PC\\tanaka";
    coordinator.AddRequest(std::move(request));
    ASSERT_TRUE(coordinator.StartWorker());
    coordinator.StartErase();
    ASSERT_TRUE(window.PumpUntil([&] { return coordinator.RowCount() == 0; }));
    log.Close();

    EXPECT_FALSE(Volume().Exists(L"C:\\data"));
    auto block = [&](const std::wstring& path, const std::wstring& kind) {
        std::string text;
        for (const std::wstring& field :
             {path, kind, std::wstring(L"three passes"), completed,
              std::wstring(L"2024/03/09 23:59:58"), std::wstring(L"QMZ-PC\\tanaka")}) {
            text += std::string(field.begin(), field.end()) + "\r\n";
        }
        return text + "\r\n";
    };
    // The folder walk reports in its own order: compare the records as a set, the folder last.
    const std::string logged = Volume().ReadAll(logPath);
    ASSERT_EQ(logged.compare(0, 6, "kept\r\n"), 0) << logged;
    std::vector<std::string> records;
    for (size_t at = 6; at < logged.size();) {
        const size_t end = logged.find("\r\n\r\n", at);
        ASSERT_NE(end, std::string::npos) << logged;
        records.push_back(logged.substr(at, end + 4 - at));
        at = end + 4;
    }
    ASSERT_EQ(records.size(), 4u) << logged;
    EXPECT_EQ(records.back(), block(L"C:\\data", folderKind));
    records.pop_back();
    std::sort(records.begin(), records.end());
    EXPECT_EQ(records, (std::vector<std::string>{block(L"C:\\data\\one.txt", fileKind),
                                                 block(L"C:\\data\\three.txt", fileKind),
                                                 block(L"C:\\data\\two.txt", fileKind)}));
    EXPECT_TRUE(window.InternalErrors().empty());
}

}  // namespace
}  // namespace qmz
