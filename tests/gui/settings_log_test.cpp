// The settings dialog, the erase log, the results filters and the notification icon of the
// real QMZ4.exe under Wine, driven as a user drives them. Files live on the scratch drive D:.
// Run once under a Japanese user locale and once under an English one (--acp=N says which
// code page the run must have), so that the log's handling of characters the code page
// cannot hold is proven both ways.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#define SECURITY_WIN32
#include <security.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/gui/erase_window_driver.h"
#include "tests/gui/program_driver.h"

namespace qmz::gui {
namespace {

UINT& ExpectedCodePage() {
    static UINT codePage = 0;
    return codePage;
}

constexpr int kEraseSettings = 1015;
constexpr int kResultSettings = 1031;
constexpr int kMenuSettings = 32770;
constexpr int kSelectAllResults = 1026;
constexpr int kRemoveResults = 1028;
constexpr int kShowFailed = 1029;
constexpr int kShowSucceeded = 1030;
constexpr int kOtherFailedCount = 1040;
// Settings dialog controls.
constexpr int kMethodList = 1050;
constexpr int kQuickValue = 1052;
constexpr int kQuickCount = 1054;
constexpr int kVerify = 1055;
constexpr int kVerifyOnePercent = 1056;
constexpr int kShellExtension = 1061;
constexpr int kLanguageList = 1067;
constexpr int kLogging = 1069;
constexpr int kLogFile = 1070;
constexpr int kEraseLog = 1074;
constexpr int kViewLog = 1073;
constexpr DWORD kNcscTwiceMethod = 10;  // 00 FF E5 F6 00 FF

void SetStringSetting(const wchar_t* name, const std::wstring& value) {
    const std::wstring key = std::wstring(kProgramKey) + L"\\Settings";
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// The value names of the settings key.
std::vector<std::wstring> SettingNames() {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    const std::wstring path = std::wstring(kProgramKey) + L"\\Settings";
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[64] = {};
        DWORD length = 64;
        if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

DWORD Setting(const wchar_t* name) {
    DWORD value = 0xDEADBEEF;
    DWORD size = sizeof(value);
    const std::wstring key = std::wstring(kProgramKey) + L"\\Settings";
    RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::string CodePageBytes(const std::wstring& text, UINT codePage) {
    const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

std::wstring AccountName() {
    wchar_t name[256] = {};
    ULONG length = 256;
    return GetUserNameExW(NameSamCompatible, name, &length) ? name : L"";
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos;
         at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

// The settings dialog of a running program, once one of its three commands opened it.
class CSettingsDialog {
public:
    CSettingsDialog(const CProgram& program, const CEraseWindow& window, int command)
        : m_program(program) {
        window.Command(command);
        m_dialog = program.WaitForOtherWindow(10000);
        if (m_dialog != nullptr && GetDlgItem(m_dialog, kMethodList) == nullptr) {
            m_dialog = nullptr;  // some other window: not the settings
        }
    }

    HWND Handle() const { return m_dialog; }
    HWND Control(int id) const { return GetDlgItem(m_dialog, id); }
    std::wstring Text(int id) const {
        wchar_t text[256] = {};
        SendMessageW(Control(id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        return text;
    }
    int MethodRow() const {
        return static_cast<int>(SendMessageW(Control(kMethodList), CB_GETCURSEL, 0, 0));
    }
    bool Checked(int id) const {
        return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    // What a user's choice in the drop-down list sends.
    void ChooseMethod(int row) const {
        SendMessageW(Control(kMethodList), CB_SETCURSEL, row, 0);
        SendMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(kMethodList, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Control(kMethodList)));
    }
    void ChooseLanguage(int row) const {
        SendMessageW(Control(kLanguageList), CB_SETCURSEL, row, 0);
        SendMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(kLanguageList, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Control(kLanguageList)));
    }
    // Typing into an edit: the text replaced, and the edit's change notice.
    void Type(int id, const std::wstring& text) const {
        SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void Click(int id) const { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    bool Close(int button) const {
        PostMessageW(Control(button), BM_CLICK, 0, 0);
        return WaitUntil(5000, [&] { return !IsWindow(m_dialog); });
    }

private:
    const CProgram& m_program;
    HWND m_dialog = nullptr;
};

// The folder the host-side sampler (pass_sampler.py, started by the test's command)
// watches: it reads a file's last page while the program overwrites it, which no Windows
// process could, the program holding the file exclusively.
constexpr wchar_t kSamplerFolder[] = L"D:\\gui\\passes";

void Touch(const std::wstring& path) {
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

// Hands `name`.bin to the running program as a second start would, confirms it, and
// returns the values its last page took while it was erased: the passes written.
std::vector<int> ErasePasses(const CEraseWindow& window, const std::wstring& name) {
    const std::wstring base = std::wstring(kSamplerFolder) + L"\\" + name;
    const std::wstring path = base + L".bin";
    if (!WriteBytes(path, 32)) {
        ADD_FAILURE() << "cannot write the file to erase";
        return {};
    }
    Touch(base + L".ready");
    if (!WaitUntil(5000, [&] { return Exists(base + L".watching"); })) {
        ADD_FAILURE() << "no pass sampler watches " << kSamplerFolder;
        return {};
    }
    const int resultsBefore = window.Rows(kResultList);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION second = {};
    std::wstring commandLine = L"\"" + ProgramPath() + L"\" \"" + path + L"\"";
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &second)) {
        ADD_FAILURE() << "no second start: " << GetLastError();
        return {};
    }
    WaitForSingleObject(second.hProcess, 20000);
    CloseHandle(second.hThread);
    CloseHandle(second.hProcess);
    if (!window.WaitForRows(1)) {
        ADD_FAILURE() << "the second start's path did not arrive";
        return {};
    }
    window.Command(kStartErase);
    if (!WaitUntil(60000, [&] { return window.Rows(kResultList) == resultsBefore + 1; })) {
        ADD_FAILURE() << "no result row";
        return {};
    }
    EXPECT_EQ(window.Cell(resultsBefore, 3, kResultList), kCompleted);
    EXPECT_FALSE(Exists(path));
    Touch(base + L".stop");
    if (!WaitUntil(5000, [&] { return Exists(base + L".done"); })) {
        ADD_FAILURE() << "the sampler did not finish";
        return {};
    }
    std::vector<int> values;
    std::string text = Contents(base + L".passes");
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find(' ', at);
        end = end == std::string::npos ? text.size() : end;
        values.push_back(std::stoi(text.substr(at, end - at)));
        at = end + 1;
    }
    return values;
}

class SettingsLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetRegistry();
        ASSERT_EQ(GetACP(), ExpectedCodePage()) << "the run's user locale";
    }
    void TearDown() override { ResetRegistry(); }
};

TEST_F(SettingsLogTest, LoggingAppendsOneCsvRecordPerFileAndFolderInTheUsersCodePage) {
    const std::wstring folder = ScratchFolder(L"logged" + std::to_wstring(GetACP()));
    const std::wstring tree = folder + L"\\tree";
    CreateDirectoryW(tree.c_str(), nullptr);
    // "日本" exists in code page 932 but not in 1252; "é" the other way round.
    const std::wstring foreign = tree + L"\\日本\u00e9.txt";
    ASSERT_TRUE(WriteBytes(tree + L"\\a.txt", 0, 3000));
    ASSERT_TRUE(WriteBytes(foreign, 0, 3000));
    ASSERT_TRUE(WriteBytes(tree + L"\\c.txt", 0, 3000));
    const std::wstring log = folder + L"\\Erase.CSV";
    const std::string earlier = "\"earlier\",\"record\"\r\n";
    {
        FILE* file = _wfopen(log.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        fwrite(earlier.data(), 1, earlier.size(), file);
        fclose(file);
    }
    SetSetting(L"Logging", 1);
    SetStringSetting(L"LogFile", log);

    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start(L"\"" + tree + L"\""));
    CEraseWindow window(&program);
    ASSERT_TRUE(window.WaitForRows(1));
    window.Command(kStartErase);
    ASSERT_TRUE(window.WaitForRows(0));
    ASSERT_TRUE(WaitUntil(5000, [&] { return window.Rows(kResultList) == 1; }));
    EXPECT_EQ(window.Cell(0, 3, kResultList), kCompleted);
    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(program.Close());

    const std::string text = Contents(log);
    ASSERT_EQ(text.compare(0, earlier.size(), earlier), 0) << "appended, never truncated";
    std::vector<std::string> lines = Split(text.substr(earlier.size()), "\r\n");
    ASSERT_EQ(lines.size(), 5u) << text;
    EXPECT_EQ(lines.back(), "") << "every record ends with CR LF";
    lines.pop_back();

    const UINT codePage = GetACP();
    // "完了済み": code page 1252 holds none of it.
    const std::string completed =
        codePage == 932 ? CodePageBytes(kCompleted, 932) : "<U+5B8C><U+4E86><U+6E08><U+307F>";
    const std::string account = CodePageBytes(AccountName(), codePage);
    // The file name each code page cannot hold is written as its code point.
    const std::string foreignBytes =
        codePage == 932 ? CodePageBytes(tree + L"\\日本", 932) + "<U+00E9>.txt"
                        : CodePageBytes(tree + L"\\", codePage) + "<U+65E5><U+672C>\xE9.txt";
    std::vector<std::string> paths;
    for (const std::string& line : lines) {
        ASSERT_GE(line.size(), 2u);
        ASSERT_EQ(line.front(), '"') << line;
        ASSERT_EQ(line.back(), '"') << line;
        const std::vector<std::string> fields = Split(line.substr(1, line.size() - 2), "\",\"");
        ASSERT_EQ(fields.size(), 6u) << line;
        paths.push_back(fields[0]);
        EXPECT_FALSE(fields[1].empty()) << "the kind";
        EXPECT_FALSE(fields[2].empty()) << "the method";
        EXPECT_EQ(fields[3], completed) << line;
        EXPECT_FALSE(fields[4].empty()) << "the date and time";
        EXPECT_EQ(fields[5], account) << line;
    }
    const std::vector<std::string> expectedPaths = {
        CodePageBytes(tree + L"\\a.txt", codePage), foreignBytes,
        CodePageBytes(tree + L"\\c.txt", codePage), CodePageBytes(tree, codePage)};
    for (const std::string& path : expectedPaths) {
        EXPECT_EQ(std::count(paths.begin(), paths.end(), path), 1) << path;
    }
    EXPECT_EQ(paths.back(), CodePageBytes(tree, codePage)) << "the folder goes after its files";
    if (codePage == 932) {
        EXPECT_EQ(CodePageBytes(L"簡易消去", 932), Split(lines[0].substr(1), "\",\"")[2])
            << "the quick method's name";
    }
}

TEST_F(SettingsLogTest, EveryOpeningShowsTheSettingsAndOkSavesThemInOrderAndErasesWithThem) {
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    CEraseWindow window(&program);
    ResetRegistry();  // what the start wrote; OK below writes a fresh key in its own order

    for (int command : {kEraseSettings, kResultSettings}) {
        CSettingsDialog dialog(program, window, command);
        ASSERT_NE(dialog.Handle(), nullptr) << command;
        EXPECT_EQ(WindowText(dialog.Handle()), L"ヌルベイン Z 4");
        EXPECT_EQ(dialog.MethodRow(), 0);
        EXPECT_EQ(dialog.Text(kQuickValue), L"00");
        EXPECT_EQ(dialog.Text(kQuickCount), L"1");
        // Cancel after an edit changes nothing.
        dialog.Type(kQuickCount, L"7x");
        EXPECT_EQ(dialog.Text(kQuickCount), L"7");
        ASSERT_TRUE(dialog.Close(IDCANCEL));
    }
    EXPECT_TRUE(SettingNames().empty()) << "Cancel writes nothing";

    {
        CSettingsDialog dialog(program, window, kMenuSettings);
        ASSERT_NE(dialog.Handle(), nullptr);
        EXPECT_EQ(dialog.Text(kQuickCount), L"1") << "the cancelled edit is gone";
        if (!ScreenshotFolder().empty()) {
            Settle(700);  // every control painted
            EXPECT_TRUE(SaveScreenshot(dialog.Handle(), ScreenshotFolder() + L"\\settings.bmp"));
        }
        dialog.Type(kQuickValue, L"1G2");
        EXPECT_EQ(dialog.Text(kQuickValue), L"12");
        dialog.Type(kQuickValue, L"a5");
        dialog.Type(kQuickCount, L"2");
        dialog.Click(kVerifyOnePercent);
        dialog.Click(kVerify);
        EXPECT_TRUE(dialog.Checked(kVerify));
        EXPECT_FALSE(dialog.Checked(kVerifyOnePercent));
        ASSERT_TRUE(dialog.Close(IDOK));
    }
    // OK closes the dialog, then saves: "Language" is the last value written.
    ASSERT_TRUE(WaitUntil(5000, [] { return Setting(L"Language") != 0xDEADBEEF; }));
    // Wine lists a key's values sorted by name, so the order of the writes shows only in
    // the simulated registry's journal (the settings store's own suite); here, that OK
    // wrote every setting and nothing else.
    std::vector<std::wstring> written = SettingNames();
    std::vector<std::wstring> expected = {L"EraseMethod",
                                          L"QuickValue",
                                          L"QuickCount",
                                          L"Verify",
                                          L"Autorun",
                                          L"Logging",
                                          L"LogFile",
                                          L"IncludeSuperHidden",
                                          L"EnableShellExtension",
                                          L"AllUsersRecycleBin",
                                          L"IncludeNetworkDrives",
                                          L"Language"};
    std::sort(written.begin(), written.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(written, expected);
    EXPECT_EQ(Setting(L"EraseMethod"), 0u);
    EXPECT_EQ(Setting(L"QuickValue"), 0xA5u);
    EXPECT_EQ(Setting(L"QuickCount"), 2u);
    EXPECT_EQ(Setting(L"Verify"), 1u);

    // The quick method as chosen: its value over the whole file, then the file gone.
    EXPECT_EQ(ErasePasses(window, L"quick"), (std::vector<int>{'q', 0xA5}));

    {
        CSettingsDialog dialog(program, window, kEraseSettings);
        ASSERT_NE(dialog.Handle(), nullptr);
        EXPECT_EQ(dialog.Text(kQuickValue), L"A5");
        EXPECT_EQ(dialog.Text(kQuickCount), L"2");
        dialog.ChooseMethod(kNcscTwiceMethod);
        EXPECT_EQ(dialog.Text(kQuickValue), L"") << "a table method has no quick value";
        EXPECT_FALSE(IsWindowEnabled(dialog.Control(kQuickValue)));
        ASSERT_TRUE(dialog.Close(IDOK));
    }
    EXPECT_TRUE(WaitUntil(5000, [] { return Setting(L"EraseMethod") == kNcscTwiceMethod; }));
    EXPECT_EQ(ErasePasses(window, L"ncsc"),
              (std::vector<int>{'q', 0x00, 0xFF, 0xE5, 0xF6, 0x00, 0xFF}));
    EXPECT_TRUE(program.Close());
}

TEST_F(SettingsLogTest, TheContextMenuBoxRegistersAndUnregistersTheShellExtension) {
    const std::wstring handler = L"*\\ShellEx\\ContextMenuHandlers\\QMZ4shellext";
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    CEraseWindow window(&program);

    // Without the DLL regsvr32 fails silently ("/s"): the program must say so and keep
    // the box as the menus really are.
    std::wstring dll = ProgramPath();
    dll.replace(dll.size() - 8, 8, L"QMZ4shellext.dll");
    const std::wstring aside = dll + L".aside";
    ASSERT_TRUE(MoveFileW(dll.c_str(), aside.c_str()));
    {
        CSettingsDialog dialog(program, window, kMenuSettings);
        ASSERT_NE(dialog.Handle(), nullptr);
        dialog.Click(kShellExtension);
        ASSERT_TRUE(dialog.Close(IDOK));
    }
    const std::wstring refused = window.Answer(IDOK);
    MoveFileW(aside.c_str(), dll.c_str());  // before any assertion can end the test
    EXPECT_EQ(refused.rfind(L"regsvr32 /s \"", 0), 0u) << refused;
    EXPECT_TRUE(WaitUntil(5000, [] { return Setting(L"EnableShellExtension") == 0u; }))
        << "not registered, so not on";
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, handler));

    for (bool on : {true, false}) {
        {
            CSettingsDialog dialog(program, window, kMenuSettings);
            ASSERT_NE(dialog.Handle(), nullptr);
            ASSERT_TRUE(IsWindowEnabled(dialog.Control(kShellExtension)))
                << "an administrator may change the context menus";
            EXPECT_EQ(dialog.Checked(kShellExtension), !on);
            dialog.Click(kShellExtension);
            ASSERT_TRUE(dialog.Close(IDOK));
        }
        const std::wstring told = window.Answer(IDOK);
        EXPECT_NE(told.find(L"ログオフ"), std::wstring::npos) << told;
        EXPECT_TRUE(WaitUntil(10000, [&] { return KeyExists(HKEY_CLASSES_ROOT, handler) == on; }))
            << (on ? "registered" : "unregistered");
        EXPECT_TRUE(
            WaitUntil(5000, [&] { return Setting(L"EnableShellExtension") == (on ? 1u : 0u); }));
    }
    EXPECT_TRUE(program.Close());
}

TEST_F(SettingsLogTest, TheEraseButtonStopsLoggingAndRequestsTheLogsEraseAfterOk) {
    const std::wstring folder = ScratchFolder(L"logerase");
    const std::wstring log = folder + L"\\erase log.txt";
    SetSetting(L"Logging", 1);
    SetStringSetting(L"LogFile", log);
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    CEraseWindow window(&program);
    EXPECT_TRUE(Exists(log)) << "logging opens the log at start";
    {
        CSettingsDialog dialog(program, window, kResultSettings);
        ASSERT_NE(dialog.Handle(), nullptr);
        EXPECT_TRUE(dialog.Checked(kLogging));
        dialog.Click(kEraseLog);
        EXPECT_FALSE(dialog.Checked(kLogging));
        dialog.ChooseLanguage(2);  // English
        ASSERT_TRUE(dialog.Close(IDOK));
    }
    EXPECT_NE(window.Answer(IDOK).find(L"言語の変更"), std::wstring::npos);
    // Saved once the message is answered.
    EXPECT_TRUE(WaitUntil(5000, [] { return Setting(L"Language") == 1033u; }));
    EXPECT_EQ(Setting(L"Logging"), 0u);
    ASSERT_TRUE(window.WaitForRows(1));
    EXPECT_EQ(window.Cell(0, 1), log) << "the whole name, blank included";
    EXPECT_EQ(window.Cell(0, 3), kAwaiting);
    window.Command(kStartErase);
    EXPECT_TRUE(WaitUntil(20000, [&] { return !Exists(log); })) << "closed, so it can go";
    EXPECT_TRUE(program.Close());
}

// Wine's prefix knows no program for ".log" until told; the viewer must then find it
// for a ".csv" log, which has no program of its own.
class CLogAssociation {
public:
    CLogAssociation() {
        const std::wstring text = L"txtfile";
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, REG_SZ, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    ~CLogAssociation() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey); }

private:
    static constexpr wchar_t kKey[] = L"Software\\Classes\\.log";
};

TEST_F(SettingsLogTest, ViewingTheLogSaysWhenItIsMissingAndOpensItWithTheLogProgram) {
    const std::wstring folder = ScratchFolder(L"view");
    const std::wstring missing = folder + L"\\missing.csv";
    const std::wstring present = folder + L"\\present.csv";
    DeleteFileW(missing.c_str());
    ASSERT_TRUE(WriteBytes(present, 0, 10));
    SetStringSetting(L"LogFile", missing);
    CLogAssociation association;
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    CEraseWindow window(&program);
    CSettingsDialog dialog(program, window, kMenuSettings);
    ASSERT_NE(dialog.Handle(), nullptr);

    PostMessageW(dialog.Control(kViewLog), BM_CLICK, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(10000, [&] {
        box = FindWindowW(L"#32770", L"ヌルベイン Z 4");
        return box != nullptr && box != dialog.Handle() && IsWindowVisible(box);
    }));
    EXPECT_EQ(MessageBoxText(box), missing + L" ： ログファイルが存在しません。");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil(5000, [&] { return !IsWindow(box); }));

    // The log box takes typing as a user types: a multi-line edit.
    SendMessageW(dialog.Control(kLogFile), EM_SETSEL, 0, -1);
    SendMessageW(dialog.Control(kLogFile), EM_REPLACESEL, TRUE,
                 reinterpret_cast<LPARAM>(present.c_str()));
    PostMessageW(dialog.Control(kViewLog), BM_CLICK, 0, 0);
    HWND viewer = nullptr;
    EXPECT_TRUE(WaitUntil(15000, [&] {
        viewer = FindWindowW(L"Notepad", nullptr);
        return viewer != nullptr;
    })) << "the .log program shows the .csv log";
    if (viewer != nullptr) {
        EXPECT_TRUE(WaitUntil(5000, [&] {
            return WindowText(viewer).find(L"present.csv") != std::wstring::npos;
        })) << WindowText(viewer);
        PostMessageW(viewer, WM_CLOSE, 0, 0);
    }
    ASSERT_TRUE(dialog.Close(IDCANCEL));
    EXPECT_TRUE(program.Close());
}

TEST_F(SettingsLogTest, ResultFiltersChooseTheRowsCommandsReachAndCountersCountEachOutcome) {
    const std::wstring folder = ScratchFolder(L"mixed");
    const std::wstring erased = folder + L"\\erased.txt";
    const std::wstring missing = folder + L"\\missing.txt";
    ASSERT_TRUE(WriteBytes(erased, 0, 2000));
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start(erased + L" " + missing));
    CEraseWindow window(&program);
    ASSERT_TRUE(window.WaitForRows(2));
    window.Command(kStartErase);
    ASSERT_TRUE(WaitUntil(20000, [&] { return window.Rows(kResultList) == 2; }));
    EXPECT_EQ(window.Text(kErasedCount), L"1");
    EXPECT_EQ(window.Text(kOtherFailedCount), L"1") << "the missing file";
    HWND list = window.Control(kResultList);
    const int succeeded = window.Cell(0, 1, kResultList) == erased ? 0 : 1;
    const int failed = 1 - succeeded;
    EXPECT_EQ(window.Cell(failed, 4, kResultList), L"1") << "its failure count";
    EXPECT_EQ(window.Cell(succeeded, 4, kResultList), L"");
    auto selected = [&](int row) {
        return (SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    };
    auto checked = [&](int row) {
        return (SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12) == 2;
    };
    // Wine's list view keeps no groups: there the rows stay in view, but which rows the
    // commands reach still follows the filters.
    const bool groupsKept = [&] {
        PostMessageW(window.Control(kShowFailed), BM_CLICK, 0, 0);
        Settle(500);
        return SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0) != 0;
    }();
    if (groupsKept) {
        EXPECT_EQ(program.ItemGroupId(list, failed), 3);
        EXPECT_EQ(program.ItemGroupId(list, succeeded), 5) << "hidden in a group never made";
    }
    window.Command(kSelectAllResults);
    EXPECT_TRUE(WaitUntil(5000, [&] { return selected(failed); }));
    EXPECT_TRUE(checked(failed)) << "selected rows are checked";
    EXPECT_FALSE(selected(succeeded)) << "select all takes only the rows the filter shows";

    PostMessageW(window.Control(kShowSucceeded), BM_CLICK, 0, 0);
    Settle(500);
    window.Shoot(L"results_both_filters.bmp");
    window.Command(kSelectAllResults);
    EXPECT_TRUE(WaitUntil(5000, [&] { return selected(succeeded); })) << "both shown now";

    PostMessageW(window.Control(kShowFailed), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil(5000, [&] { return !selected(failed); }))
        << "a row its filter hides loses its marks";
    EXPECT_FALSE(checked(failed));
    EXPECT_TRUE(selected(succeeded));
    if (groupsKept) {
        EXPECT_EQ(program.ItemGroupId(list, failed), 5);
    }
    PostMessageW(window.Control(kShowSucceeded), BM_CLICK, 0, 0);
    Settle(300);
    EXPECT_EQ(SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0), 0) << "every row shown again";
    // With both filters off the commands reach every row again; remove takes the marked.
    window.Command(kSelectAllResults);
    EXPECT_TRUE(WaitUntil(5000, [&] { return selected(failed) && selected(succeeded); }));
    PostMessageW(program.Window(), WM_COMMAND, MAKEWPARAM(kRemoveResults, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil(5000, [&] { return window.Rows(kResultList) == 0; }));
    EXPECT_TRUE(program.Close());
}

// The first icon of Wine's own notification area (it has no system tray on a bare X
// display and shows a small window of its own instead).
HWND WineTrayIcon() {
    HWND icon = nullptr;
    WaitUntil(10000, [&] {
        HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
        icon = tray != nullptr ? FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr)
                               : nullptr;
        return icon != nullptr;
    });
    return icon;
}

void ClickIcon(HWND icon, UINT down, UINT up) {
    PostMessageW(icon, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(4, 4));
    PostMessageW(icon, up, 0, MAKELPARAM(4, 4));
}

// The program as a Windows version that cannot say where an icon is (Vista), so that
// minimising hides the window into the icon.
class CVistaProgram {
public:
    CVistaProgram() {
        const std::wstring version = L"vista";
        RegSetKeyValueW(HKEY_CURRENT_USER, kAppDefaults, L"Version", REG_SZ, version.c_str(),
                        static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    }
    ~CVistaProgram() { RegDeleteTreeW(HKEY_CURRENT_USER, kAppDefaults); }

private:
    static constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\QMZ4.exe";
};

TEST_F(SettingsLogTest, MinimisingHidesTheWindowInTheIconWhoseClickBringsItBack) {
    CVistaProgram vista;
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    HWND main = program.Window();
    HWND icon = WineTrayIcon();
    ASSERT_NE(icon, nullptr) << "the icon was added";
    EXPECT_EQ(GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0)
        << "with an icon the window needs no taskbar button";
    RECT before = {};
    GetWindowRect(main, &before);

    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitUntil(5000, [&] { return !IsWindowVisible(main); })) << "hidden in the icon";
    ClickIcon(icon, WM_LBUTTONDOWN, WM_LBUTTONUP);
    ASSERT_TRUE(WaitUntil(5000, [&] { return IsWindowVisible(main) && !IsIconic(main); }))
        << "a left click restores it";
    RECT after = {};
    GetWindowRect(main, &after);
    EXPECT_EQ(after.left, before.left) << "at its last placement";
    EXPECT_EQ(after.top, before.top);

    // Hidden again, and back through the icon's menu: "ヌルベインを表示(&S)".
    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil(5000, [&] { return !IsWindowVisible(main); }));
    ClickIcon(icon, WM_RBUTTONDOWN, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil(5000, [&] {
        menu = FindWindowW(L"#32768", nullptr);
        return menu != nullptr && IsWindowVisible(menu);
    })) << "a right click opens the icon's menu";
    PostMessageW(menu, WM_CHAR, L's', 0);
    EXPECT_TRUE(WaitUntil(5000, [&] { return IsWindowVisible(main) && !IsIconic(main); }))
        << "its show command restores the window";
    EXPECT_TRUE(program.Close());
    EXPECT_TRUE(WaitUntil(5000, [&] { return !IsWindow(icon); }))
        << "the icon goes with the window";
}

TEST_F(SettingsLogTest, WhereTheIconCannotBeLocatedMinimisingKeepsTheTaskbarButton) {
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    HWND main = program.Window();
    HWND icon = WineTrayIcon();
    ASSERT_NE(icon, nullptr);
    // Wine reports Windows 7 or later and cannot say where an icon is.
    EXPECT_NE(GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitUntil(5000, [&] { return IsIconic(main); }));
    EXPECT_TRUE(IsWindowVisible(main)) << "still on the taskbar";
    ClickIcon(icon, WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_TRUE(WaitUntil(5000, [&] { return IsWindowVisible(main) && !IsIconic(main); }));
    EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace qmz::gui

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3 || wcsncmp(argv[2], L"--acp=", 6) != 0) {
        fwprintf(stderr, L"usage: settings_log_tests QMZ4.exe --acp=N [screenshot folder]\n");
        return 2;
    }
    qmz::gui::ProgramPath() = argv[1];
    qmz::gui::ExpectedCodePage() = static_cast<UINT>(_wtoi(argv[2] + 6));
    if (argc > 3) {
        qmz::gui::ScreenshotFolder() = argv[3];
    }
    return RUN_ALL_TESTS();
}
