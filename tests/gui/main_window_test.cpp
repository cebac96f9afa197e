// The real QMZ4.exe under Wine: first appearance, pages, lists, growth, scrolling,
// placement across two starts and the language fall-back.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/string_ids.h"
#include "tests/gui/program_driver.h"

namespace qmz::gui {
namespace {

constexpr wchar_t kProgramKey[] = L"Software\\Quellmark\\QMZ4";
constexpr wchar_t kTitle[] = L"ヌルベイン Z 4";

void ResetRegistry() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
}

DWORD ReadDword(const wchar_t* section, const wchar_t* name, bool* found) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    const std::wstring key = std::wstring(kProgramKey) + L"\\" + section;
    *found = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value,
                          &size) == ERROR_SUCCESS;
    return value;
}

bool HasString(const wchar_t* section, const wchar_t* name) {
    const std::wstring key = std::wstring(kProgramKey) + L"\\" + section;
    return RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr,
                        nullptr) == ERROR_SUCCESS;
}

SIZE WindowSize(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The window as the template alone makes it, with the design font and no adaptation.
INT_PTR CALLBACK InertProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

SIZE DesignWindowSize() {
    HMODULE module = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(102), nullptr, InertProc, 0);
    SIZE size = WindowSize(dialog);
    DestroyWindow(dialog);
    FreeLibrary(module);
    return size;
}

// Which page shows which control; 1041 and 1043 are on every page.
struct PageControls {
    int page;
    std::vector<int> shown;
};
const std::vector<int> kAllPaged = {
    1000, 1001, 1002, 1003, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1015, 1016,
    1017, 1018, 1019, 1020, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031,
    1032, 1033, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041, 1042, 1043, 8,    2,    1};
const std::vector<int> kCommon = {1000, 1001, 1002, 1003, 1005, 1041, 1043};
const std::vector<int> kEraseList = {1008, 1009, 1010, 1011, 1012, 1013, 1015, 1042};
const std::vector<int> kFull = {1016, 1017, 1018, 1019, 1020, 1021, 1022, 1023};
const std::vector<int> kResults = {1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032,
                                   1033, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1042};

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

void ExpectPageShows(HWND window, int page, const std::vector<int>& shown) {
    for (int id : kAllPaged) {
        const bool expected = std::find(shown.begin(), shown.end(), id) != shown.end();
        HWND control = GetDlgItem(window, id);
        ASSERT_NE(control, nullptr) << "control " << id;
        EXPECT_EQ(IsWindowVisible(control) != FALSE, expected)
            << "control " << id << " on page " << page;
    }
}

void SwitchTab(HWND window, int tab) {
    // Focusing a tab selects it the way a click does, with the change notifications.
    SendMessageW(GetDlgItem(window, 1003), TCM_SETCURFOCUS, tab, 0);
    Settle(200);
}

void Shoot(HWND window, const std::wstring& name) {
    if (!ScreenshotFolder().empty()) {
        EXPECT_TRUE(SaveScreenshot(window, ScreenshotFolder() + L"\\" + name));
    }
}

TEST(ProgramResourcesTest, TitleStringSurvivesTheResourceCompiler) {
    HMODULE module = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    wchar_t text[64] = {};
    LoadStringW(module, IDS_APPLICATION_TITLE, text, 64);
    EXPECT_EQ(std::wstring(text), kTitle);
    LoadStringW(module, IDS_TAB_WELCOME, text, 64);
    EXPECT_EQ(std::wstring(text), L"ようこそ");
    FreeLibrary(module);
}

TEST(MainWindowTest, FirstStartShowsTheWelcomePageAtTheMinimumSize) {
    ResetRegistry();
    const SIZE design = DesignWindowSize();
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    HWND window = program.Window();
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    EXPECT_EQ(std::wstring(title), kTitle);
    HWND tabs = GetDlgItem(window, 1003);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(program.TabCaption(tabs, 0), L"ようこそ");
    EXPECT_EQ(program.TabCaption(tabs, 3), L"消去結果");
    ExpectPageShows(window, 0, Join({kCommon, {1006, 1007}}));

    // Grown over the design by at least three 46-pixel columns and eleven 6-pixel rows,
    // placed 50 pixels off the work-area origin.
    const SIZE size = WindowSize(window);
    EXPECT_GE(size.cx - design.cx, 138) << size.cx << " vs design " << design.cx;
    EXPECT_GE(size.cy - design.cy, 66) << size.cy << " vs design " << design.cy;
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, work.left + 50);
    EXPECT_EQ(rect.top, work.top + 50);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_HSCROLL | WS_VSCROLL), 0) << "no scroll bars at the minimum size";
    EXPECT_EQ(program.VisibleWindowCount(), 1) << "no message box at start";
    Shoot(window, L"page0.bmp");
    EXPECT_TRUE(program.Close());
}

TEST(MainWindowTest, EveryPageShowsExactlyItsControls) {
    ResetRegistry();
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    HWND window = program.Window();
    // The welcome page's buttons lead to the basic and full pages.
    SendMessageW(GetDlgItem(window, 1006), BM_CLICK, 0, 0);
    Settle(200);
    EXPECT_EQ(SendDlgItemMessageW(window, 1003, TCM_GETCURSEL, 0, 0), 1);
    ExpectPageShows(window, 1, Join({kCommon, kEraseList}));
    Shoot(window, L"page1.bmp");
    SwitchTab(window, 0);
    SendMessageW(GetDlgItem(window, 1007), BM_CLICK, 0, 0);
    Settle(200);
    EXPECT_EQ(SendDlgItemMessageW(window, 1003, TCM_GETCURSEL, 0, 0), 2);
    ExpectPageShows(window, 2, Join({kCommon, kEraseList, kFull}));
    Shoot(window, L"page2.bmp");
    SwitchTab(window, 3);
    EXPECT_EQ(SendDlgItemMessageW(window, 1003, TCM_GETCURSEL, 0, 0), 3);
    ExpectPageShows(window, 3, Join({kCommon, kResults}));
    Shoot(window, L"page3.bmp");
    SwitchTab(window, 0);
    ExpectPageShows(window, 0, Join({kCommon, {1006, 1007}}));
    EXPECT_TRUE(program.Close());
}

TEST(MainWindowTest, ListsHaveTheirColumnsAndStyles) {
    ResetRegistry();
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    HWND window = program.Window();
    const wchar_t* eraseColumns[] = {L"ファイル名・項目", L"フルパス", L"操作", L"状態",
                                     L"推定時間"};
    const wchar_t* resultColumns[] = {L"ファイル名・項目", L"フルパス", L"操作", L"状態",
                                      L"失敗件数"};
    HWND eraseList = GetDlgItem(window, 1009);
    HWND resultList = GetDlgItem(window, 1025);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(program.ColumnCaption(eraseList, i), eraseColumns[i]) << "column " << i;
        EXPECT_EQ(program.ColumnCaption(resultList, i), resultColumns[i]) << "column " << i;
        EXPECT_GT(program.ColumnWidth(eraseList, i), 0) << "column " << i;
    }
    EXPECT_EQ(program.ColumnCaption(eraseList, 5), L"<none>");
    const DWORD wanted =
        LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_LABELTIP;
    for (HWND list : {eraseList, resultList}) {
        const auto styles =
            static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_EQ(styles & wanted, wanted);
        EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    }
    // Widening the window widens the first two columns.
    const int before = program.ColumnWidth(eraseList, 0);
    RECT rect = {};
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left + 100,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Settle(200);
    EXPECT_EQ(program.ColumnWidth(eraseList, 0), before + 50);
    EXPECT_TRUE(program.Close());
}

TEST(MainWindowTest, ShrinkingBelowTheMinimumShowsScrollBars) {
    ResetRegistry();
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    HWND window = program.Window();
    RECT rect = {};
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left - 200,
                 rect.bottom - rect.top - 150, SWP_NOZORDER | SWP_NOACTIVATE);
    Settle(300);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_NE(style & WS_HSCROLL, 0);
    EXPECT_NE(style & WS_VSCROLL, 0);
    // A line down scrolls the contents by 10 pixels.
    HWND close = GetDlgItem(window, 1043);
    RECT before = {};
    GetWindowRect(close, &before);
    SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, 0);
    Settle(100);
    RECT after = {};
    GetWindowRect(close, &after);
    EXPECT_EQ(before.top - after.top, 10);
    Shoot(window, L"scrolled.bmp");
    // Back at the full size the bars go away.
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Settle(300);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
    EXPECT_TRUE(program.Close());
}

TEST(MainWindowTest, ClosingSavesThePlacementAndTheNextStartComesBackThere) {
    ResetRegistry();
    RECT placed = {};
    {
        CProgram program(ProgramPath());
        ASSERT_TRUE(program.Start());
        HWND window = program.Window();
        const SIZE size = WindowSize(window);
        SetWindowPos(window, nullptr, 70, 80, size.cx + 40, size.cy + 30,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Settle(300);
        GetWindowRect(window, &placed);
        ASSERT_TRUE(program.Close());
    }
    bool found = false;
    EXPECT_EQ(ReadDword(L"Latest", L"Left", &found), 70u);
    EXPECT_TRUE(found);
    EXPECT_EQ(ReadDword(L"Latest", L"Top", &found), 80u);
    EXPECT_EQ(ReadDword(L"Latest", L"Width", &found),
              static_cast<DWORD>(placed.right - placed.left));
    EXPECT_EQ(ReadDword(L"Latest", L"Height", &found),
              static_cast<DWORD>(placed.bottom - placed.top));
    EXPECT_TRUE(HasString(L"Latest", L"BrowseFolder"));

    CProgram again(ProgramPath());
    ASSERT_TRUE(again.Start());
    RECT rect = {};
    GetWindowRect(again.Window(), &rect);
    EXPECT_EQ(rect.left, placed.left);
    EXPECT_EQ(rect.top, placed.top);
    EXPECT_EQ(rect.right, placed.right);
    EXPECT_EQ(rect.bottom, placed.bottom);
    EXPECT_TRUE(again.Close());
}

TEST(MainWindowTest, AMissingOrForeignLanguageLibraryFallsBackToJapaneseSilently) {
    ResetRegistry();
    HKEY key = nullptr;
    const std::wstring settings = std::wstring(kProgramKey) + L"\\Settings";
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, settings.c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD english = 1033;
    RegSetValueExW(key, L"Language", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&english),
                   sizeof(english));
    RegCloseKey(key);
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    wchar_t title[64] = {};
    GetWindowTextW(program.Window(), title, 64);
    EXPECT_EQ(std::wstring(title), kTitle);
    EXPECT_EQ(program.TabCaption(GetDlgItem(program.Window(), 1003), 1), L"基本消去");
    EXPECT_EQ(program.VisibleWindowCount(), 1) << "no message about the missing library";
    EXPECT_TRUE(program.Close());

    // A library that loads but lacks the program's dialogs is no language library either.
    const std::wstring& exe = ProgramPath();
    const std::wstring library = exe.substr(0, exe.find_last_of(L"\\/")) + L"\\QMZ4ENU.dll";
    ASSERT_TRUE(CopyFileW(L"C:\\windows\\system32\\version.dll", library.c_str(), FALSE));
    CProgram withLibrary(ProgramPath());
    const bool started = withLibrary.Start();
    DeleteFileW(library.c_str());  // before any assertion can end the test
    ASSERT_TRUE(started) << "the program vanished with a foreign library";
    GetWindowTextW(withLibrary.Window(), title, 64);
    EXPECT_EQ(std::wstring(title), kTitle);
    EXPECT_EQ(withLibrary.TabCaption(GetDlgItem(withLibrary.Window(), 1003), 1), L"基本消去");
    EXPECT_TRUE(withLibrary.Close());
    ResetRegistry();
}

// Sets the default value of HKLM\Software\Classes\<extension> for its lifetime, so a
// test sees which file the program asks the shell to open: Notepad shows its name.
class CAssociation {
public:
    CAssociation(const wchar_t* extension, const std::wstring& progId)
        : m_key(std::wstring(L"Software\\Classes\\") + extension) {
        wchar_t old[128] = {};
        DWORD size = sizeof(old);
        m_hadValue = RegGetValueW(HKEY_LOCAL_MACHINE, m_key.c_str(), nullptr, RRF_RT_REG_SZ,
                                  nullptr, old, &size) == ERROR_SUCCESS;
        m_old = old;
        Set(progId);
    }
    ~CAssociation() {
        if (m_hadValue) {
            Set(m_old);
        } else {
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_key.c_str());
        }
    }

private:
    void Set(const std::wstring& value) const {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, m_key.c_str(), nullptr, REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    std::wstring m_key;
    std::wstring m_old;
    bool m_hadValue = false;
};

TEST(MainWindowTest, HelpOpensTheManualBesideTheProgramAndExplainsAMissingOne) {
    ResetRegistry();
    std::wstring manual = ProgramPath();
    manual.replace(manual.size() - 3, 3, L"pdf");
    ASSERT_NE(GetFileAttributesW(manual.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the build puts the manual beside the program";
    CAssociation viewer(L".pdf", L"txtfile");
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());

    PostMessageW(program.Window(), WM_COMMAND, MAKEWPARAM(32772, 0), 0);
    HWND shown = nullptr;
    EXPECT_TRUE(WaitUntil(15000, [&] {
        shown = FindWindowW(L"Notepad", nullptr);
        return shown != nullptr && WindowText(shown).find(L"QMZ4.pdf") != std::wstring::npos;
    })) << "the manual is opened with its program";
    if (shown != nullptr) {
        PostMessageW(shown, WM_CLOSE, 0, 0);
    }

    const std::wstring aside = manual + L".aside";
    ASSERT_TRUE(MoveFileW(manual.c_str(), aside.c_str()));
    PostMessageW(program.Window(), WM_COMMAND, MAKEWPARAM(32772, 0), 0);
    HWND box = program.WaitForOtherWindow(5000);
    MoveFileW(aside.c_str(), manual.c_str());  // before any assertion can end the test
    ASSERT_NE(box, nullptr) << "no message about the missing help file";
    wchar_t caption[64] = {};
    GetWindowTextW(box, caption, 64);
    EXPECT_EQ(std::wstring(caption), kTitle);
    const std::wstring message = MessageBoxText(box);
    EXPECT_NE(message.find(L"QMZ4.pdf"), std::wstring::npos) << "the path is named";
    EXPECT_EQ(message.find(L"弊社サポート"), std::wstring::npos) << "not an internal error";
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    Settle(200);
    EXPECT_TRUE(program.Close());
    ResetRegistry();
}

}  // namespace
}  // namespace qmz::gui

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fwprintf(stderr, L"usage: gui_tests QMZ4.exe [screenshot folder]\n");
        return 2;
    }
    qmz::gui::ProgramPath() = argv[1];
    if (argc > 2) {
        qmz::gui::ScreenshotFolder() = argv[2];
    }
    return RUN_ALL_TESTS();
}
