// The handlers in use as Explorer uses them: created from their registered class ids,
// handed data objects the shell made for real files, folders and drive roots, asked for
// a real popup menu, and invoked; the real QMZ4.exe (running, or started by COM) must then
// list exactly the rows the user asked for.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "registration/com_ids.h"
#include "tests/com/com_fixture.h"
#include "tests/gui/program_driver.h"
#include "tests/shellext/shell_host.h"

namespace qmz::shx {
namespace {

using comtest::CRunningProgram;
using comtest::HasRows;

constexpr wchar_t kTitle[] = L"ヌルベイン Z 4";
constexpr wchar_t kErase[] = L"ヌルベインで消去";
constexpr wchar_t kEraseFreeSpace[] = L"ヌルベインでフリースペースを消去";
constexpr wchar_t kEraseDrive[] = L"ヌルベインでドライブ領域をまるごと消去";
constexpr wchar_t kEraseRecycleBin[] = L"ヌルベインでごみ箱の中身を消去";
constexpr wchar_t kErrorPrefix[] =
    L"プログラム又はウィンドウズに問題を検出しました。\n弊社サポートに連絡してください。\n"
    L"クエルマーク株式会社。\n詳細： ";
constexpr wchar_t kFolderKind[] = L"フォルダ及び内容を消去";
constexpr UINT kFirst = CHostMenu::kFirstId;

// The main program registered, no program running, Autorun off, the DLL registered by
// regsvr32; afterwards neither program nor registration is left.
class ShellHostTest : public comtest::CComServerTest {
protected:
    void SetUp() override {
        CComServerTest::SetUp();
        comtest::SetSetting(L"Autorun", 0);  // the drive commands must only list rows
        ASSERT_EQ(RunRegsvr32(false), 0u);
    }
    void TearDown() override {
        RunRegsvr32(true);
        CComServerTest::TearDown();
    }

    comtest::CComSession m_com;
};

CComPtr<IContextMenu> InitializedHandler(const wchar_t* classId, IDataObject* data,
                                         HRESULT expected = S_OK) {
    CComPtr<IContextMenu> handler = CreateHandler(classId);
    CComPtr<IShellExtInit> init;
    if (handler) {
        handler->QueryInterface(IID_IShellExtInit, init.ReceiveVoid());
    }
    EXPECT_TRUE(init) << "no handler from the registered class";
    if (init) {
        EXPECT_EQ(init->Initialize(nullptr, data, nullptr), expected);
    }
    return handler;
}

std::wstring WideCommandString(IContextMenu* handler, UINT_PTR command, UINT flags,
                               UINT chars = 256, HRESULT* result = nullptr) {
    wchar_t text[256] = {};
    const HRESULT got =
        handler->GetCommandString(command, flags, nullptr, reinterpret_cast<LPSTR>(text), chars);
    if (result != nullptr) {
        *result = got;
    }
    return SUCCEEDED(got) ? text : L"<failed>";
}

TEST_F(ShellHostTest, FilesAndAFolderGoToTheRunningProgramAsItems) {
    const std::wstring folder = comtest::ScratchFolder(L"shellext_items");
    const std::wstring spaced = folder + L"\\a b.txt";
    const std::wstring plain = folder + L"\\c.txt";
    const std::wstring sub = folder + L"\\sub";
    ASSERT_TRUE(comtest::WriteText(spaced, "a") && comtest::WriteText(plain, "c"));
    CreateDirectoryW(sub.c_str(), nullptr);
    gui::CProgram started(gui::ProgramPath());
    ASSERT_TRUE(started.Start());
    CRunningProgram program;
    ASSERT_TRUE(program.AttachToOnly(5000));

    CComPtr<IDataObject> data = ShellDataObject({spaced, plain, sub});
    ASSERT_TRUE(data);
    CComPtr<IContextMenu> handler = InitializedHandler(kMenuClassId, data.Get());
    ASSERT_TRUE(handler);
    CHostMenu onlyDefault;
    EXPECT_EQ(onlyDefault.Fill(handler.Get(), CMF_DEFAULTONLY), S_OK);
    EXPECT_TRUE(onlyDefault.Items().empty());
    CHostMenu menu;
    EXPECT_EQ(menu.Fill(handler.Get()), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
    EXPECT_EQ(menu.Items(), std::vector<MenuItem>({{kFirst, kErase}}));

    // Help text and verb: wide, or in the ANSI code page cut before a whole character.
    EXPECT_EQ(WideCommandString(handler.Get(), 0, GCS_HELPTEXTW), kErase);
    EXPECT_EQ(WideCommandString(handler.Get(), 0, GCS_VERBW, 3), L"ヌル");
    char ansi[64] = {};
    EXPECT_EQ(handler->GetCommandString(0, GCS_HELPTEXTA, nullptr, ansi, 64), S_OK);
    EXPECT_EQ(std::string(ansi), Ansi(kErase));
    EXPECT_EQ(handler->GetCommandString(0, GCS_HELPTEXTA, nullptr, ansi, 4), S_OK);
    EXPECT_EQ(std::string(ansi), Ansi(L"ヌ")) << "three bytes hold one double-byte character";
    EXPECT_EQ(handler->GetCommandString(0, GCS_VERBA, nullptr, ansi, 64), E_INVALIDARG);
    HRESULT result = S_OK;
    WideCommandString(handler.Get(), 3, GCS_HELPTEXTW, 256, &result);
    EXPECT_EQ(result, E_INVALIDARG);

    EXPECT_EQ(Invoke(handler.Get(), 3), E_INVALIDARG);
    EXPECT_EQ(Invoke(handler.Get(), Ansi(kErase)), E_INVALIDARG) << "verb strings are refused";
    gui::Settle(500);
    EXPECT_EQ(program.Rows(), 0);
    EXPECT_EQ(Invoke(handler.Get(), 0u), S_OK);
    ASSERT_TRUE(program.WaitForRows(3));
    EXPECT_TRUE(HasRows(
        program, {{spaced, comtest::kFileKind}, {plain, comtest::kFileKind}, {sub, kFolderKind}}));
    EXPECT_TRUE(comtest::Exists(spaced)) << "listed, not erased";
    EXPECT_TRUE(program.Close());
}

// The scratch drive D: as a drive root: the program COM starts gets the free-space erase
// while D: holds the current directory, and the whole-drive erase once it does not.
TEST_F(ShellHostTest, ADriveRootGetsTheDriveCommandsExceptWholeErasureOfTheCurrentVolume) {
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    CComPtr<IDataObject> data = ShellDataObject({L"D:\\"});
    ASSERT_TRUE(data);

    ASSERT_TRUE(SetCurrentDirectoryW(L"D:\\"));
    CComPtr<IContextMenu> current = InitializedHandler(kMenuClassId, data.Get());
    ASSERT_TRUE(current);
    CHostMenu currentMenu;
    EXPECT_EQ(currentMenu.Fill(current.Get()), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 2));
    EXPECT_EQ(currentMenu.Items(),
              std::vector<MenuItem>({{kFirst, kErase}, {kFirst + 1, kEraseFreeSpace}}));
    EXPECT_EQ(Invoke(current.Get(), 1u), S_OK);
    CRunningProgram program;
    ASSERT_TRUE(program.AttachToOnly(10000)) << "COM did not start the program";

    ASSERT_TRUE(SetCurrentDirectoryW(previous));
    CComPtr<IContextMenu> other = InitializedHandler(kMenuClassId, data.Get());
    ASSERT_TRUE(other);
    CHostMenu otherMenu;
    EXPECT_EQ(otherMenu.Fill(other.Get()), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 3));
    EXPECT_EQ(otherMenu.Items(),
              std::vector<MenuItem>(
                  {{kFirst, kErase}, {kFirst + 1, kEraseFreeSpace}, {kFirst + 2, kEraseDrive}}));
    EXPECT_EQ(WideCommandString(other.Get(), 2, GCS_HELPTEXTW), kEraseDrive);
    EXPECT_EQ(Invoke(other.Get(), 2u), S_OK);
    ASSERT_TRUE(program.WaitForRows(2));
    EXPECT_TRUE(HasRows(
        program, {{L"D:\\", comtest::kFreeSpaceKind}, {L"D:\\", comtest::kEntirePartitionKind}}));
    EXPECT_TRUE(program.Close());
}

TEST_F(ShellHostTest, TheRecycleBinCommandRunsByNumberOrByItsOwnText) {
    CComPtr<IContextMenu> handler = InitializedHandler(kRecycleBinMenuClassId, nullptr);
    ASSERT_TRUE(handler);
    CHostMenu menu;
    EXPECT_EQ(menu.Fill(handler.Get()), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
    EXPECT_EQ(menu.Items(), std::vector<MenuItem>({{kFirst, kEraseRecycleBin}}));
    EXPECT_EQ(WideCommandString(handler.Get(), 0, GCS_VERBW), kEraseRecycleBin);
    HRESULT result = S_OK;
    WideCommandString(handler.Get(), 1, GCS_HELPTEXTW, 256, &result);
    EXPECT_EQ(result, E_INVALIDARG);

    EXPECT_EQ(Invoke(handler.Get(), 1u), E_INVALIDARG);
    EXPECT_EQ(Invoke(handler.Get(), std::string("erase")), E_INVALIDARG);
    EXPECT_TRUE(comtest::ProgramProcesses().empty()) << "a refused verb starts nothing";
    EXPECT_EQ(Invoke(handler.Get(), Ansi(kEraseRecycleBin)), S_OK);
    CRunningProgram program;
    ASSERT_TRUE(program.AttachToOnly(10000)) << "COM did not start the program";
    EXPECT_EQ(Invoke(handler.Get(), 0u), S_OK);
    ASSERT_TRUE(program.WaitForRows(2));
    EXPECT_TRUE(
        HasRows(program, {{L"", comtest::kRecycleBinKind}, {L"", comtest::kRecycleBinKind}}));
    EXPECT_TRUE(program.Close());
}

TEST_F(ShellHostTest, AProgramThatCannotBeReachedIsReportedToTheUser) {
    comtest::RunProgram(L"/Unregister");
    HWND owner = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    CComPtr<IContextMenu> handler = InitializedHandler(kRecycleBinMenuClassId, nullptr);
    ASSERT_TRUE(handler);
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.hwnd = owner;
    info.lpVerb = MAKEINTRESOURCEA(0);
    // The handler's thread waits in the message box; another one reads and closes it.
    HWND box = nullptr;
    HWND boxOwner = nullptr;
    std::wstring text;
    std::thread answer([&] {
        gui::WaitUntil(20000, [&] { return (box = FindWindowW(L"#32770", kTitle)) != nullptr; });
        boxOwner = GetWindow(box, GW_OWNER);
        text = gui::MessageBoxText(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(handler->InvokeCommand(&info), S_OK);
    answer.join();
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(boxOwner, owner);
    EXPECT_EQ(text, kErrorPrefix + std::wstring(L"CreateDispatch() of main auto failed"));
    DestroyWindow(owner);
}

}  // namespace
}  // namespace qmz::shx
