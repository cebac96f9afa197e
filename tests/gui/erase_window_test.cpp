// Erasing through the real QMZ4.exe under Wine, driven as a user drives it: paths on
// the command line, the start button, Autorun, the pause menu's commands, closing
// while an item runs, and the Windows temp button. Files live on the scratch drive D:.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/gui/erase_window_driver.h"
#include "tests/gui/program_driver.h"

namespace qmz::gui {
namespace {

class EraseWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRegistry(); }
    void TearDown() override { ResetRegistry(); }
};

TEST_F(EraseWindowTest, CommandLinePathsWaitForConfirmationThenOnlyThoseAreErased) {
    const std::wstring folder = ScratchFolder(L"cmdline");
    const std::wstring spaced = folder + L"\\two words.txt";
    const std::wstring plain = folder + L"\\plain.txt";
    const std::wstring sibling = folder + L"\\sibling.txt";
    ASSERT_TRUE(WriteBytes(spaced, 0, 70000));
    ASSERT_TRUE(WriteBytes(plain, 0, 5000));
    ASSERT_TRUE(WriteBytes(sibling, 0, 3000, 's'));

    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start(L"\"" + spaced + L"\" " + plain));
    CEraseWindow window(&program);
    ASSERT_TRUE(window.WaitForRows(2));
    EXPECT_EQ(window.Tab(), 1) << "files and folders land on the basic page";
    const std::wstring expected[2][5] = {
        {L"two words.txt", spaced, L"ファイルを消去", kAwaiting, L"0秒"},
        {L"plain.txt", plain, L"ファイルを消去", kAwaiting, L"0秒"}};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 5; ++column) {
            EXPECT_EQ(window.Cell(row, column), expected[row][column]) << row << "," << column;
        }
    }
    Settle(300);
    EXPECT_TRUE(Exists(spaced)) << "nothing is erased before the confirmation";
    window.Shoot(L"erase_list_awaiting.bmp");

    window.Command(kStartErase);
    ASSERT_TRUE(window.WaitForRows(0));
    EXPECT_TRUE(WaitUntil(5000, [&] { return window.Tab() == 3; })) << "the results page";
    ASSERT_EQ(window.Rows(kResultList), 2);
    EXPECT_EQ(window.Cell(0, 3, kResultList), kCompleted);
    EXPECT_EQ(window.Cell(1, 1, kResultList), plain);
    EXPECT_EQ(window.Text(kErasedCount), L"2");
    Settle(500);  // the page switch repaints after the handler that made it
    window.Shoot(L"results_completed.bmp");
    EXPECT_FALSE(Exists(spaced));
    EXPECT_FALSE(Exists(plain));
    EXPECT_EQ(Contents(sibling), std::string(3000, 's')) << "the sibling is untouched";
    EXPECT_TRUE(program.Close());
}

TEST_F(EraseWindowTest, AutorunErasesCommandLinePathsWithoutAClick) {
    const std::wstring folder = ScratchFolder(L"autorun");
    const std::wstring target = folder + L"\\target.bin";
    ASSERT_TRUE(WriteBytes(target, 1));
    SetSetting(L"Autorun", 1);
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start(target));
    CEraseWindow window(&program);
    EXPECT_TRUE(WaitUntil(20000, [&] { return !Exists(target); }));
    EXPECT_TRUE(WaitUntil(5000, [&] { return window.Rows(kResultList) == 1; }));
    EXPECT_EQ(window.Cell(0, 3, kResultList), kCompleted);
    EXPECT_TRUE(program.Close());
}

// A large file erased with many passes, confirmed with the start button; `morePaths`
// are requested after it.
class CLargeErase {
public:
    CLargeErase(const std::wstring& name, DWORD method,
                const std::vector<std::wstring>& morePaths = {})
        : m_path(ScratchFolder(name) + L"\\large.bin"), m_window(&m_program) {
        m_ready = WriteBytes(m_path, kLargeFileMiB);
        SetSetting(L"EraseMethod", method);
        std::wstring arguments = m_path;
        for (const std::wstring& path : morePaths) {
            arguments += L" " + path;
        }
        m_ready = m_ready && m_program.Start(arguments) &&
                  m_window.WaitForRows(1 + static_cast<int>(morePaths.size()));
        if (m_ready) {
            m_window.Command(kStartErase);
            m_ready = m_window.WaitForStatus(0, kExecuting);
        }
    }
    ~CLargeErase() { DeleteFileW(m_path.c_str()); }

    bool Ready() const { return m_ready; }
    const std::wstring& Path() const { return m_path; }
    CProgram& Program() { return m_program; }
    const CEraseWindow& Window() const { return m_window; }

private:
    std::wstring m_path;
    CProgram m_program{ProgramPath()};
    CEraseWindow m_window;
    bool m_ready = false;
};

TEST_F(EraseWindowTest, PauseStopsTheWritesAndResumeCompletesWithoutCountingThePause) {
    CLargeErase erase(L"pause", kSevenPassMethod);
    ASSERT_TRUE(erase.Ready());
    const DWORD started = GetTickCount();  // the item has just started executing
    const CEraseWindow& window = erase.Window();
    ASSERT_TRUE(window.PauseMenu(L'p')) << "the pause button pops up its menu";
    ASSERT_TRUE(window.WaitForStatus(0, kPaused, 5000));
    const DWORD pausedAt = GetTickCount();
    window.Shoot(L"erase_list_paused.bmp");
    const ULONGLONG lastWrite = LastWrite(erase.Path());
    const std::wstring elapsedWhilePaused = window.Text(kEraseTime);
    Settle(3000);
    EXPECT_EQ(LastWrite(erase.Path()), lastWrite) << "the file does not change while paused";
    EXPECT_EQ(window.Text(kEraseTime), elapsedWhilePaused) << "the clock stands still";
    const DWORD pause = GetTickCount() - pausedAt;

    EXPECT_EQ(window.Text(kPauseButton), L"中断・続行");
    // The click itself sends a pause first; a paused worker takes it up within its 100 ms
    // poll, and a command picked while it is on its way is dropped, as any such command.
    ASSERT_TRUE(window.PauseMenu(L'r', 1000));
    EXPECT_TRUE(window.WaitForStatus(0, kExecuting, 5000));
    EXPECT_EQ(window.Text(kPauseButton), L"中断");
    window.Shoot(L"erase_list_running.bmp");
    ASSERT_TRUE(window.WaitForRows(0, 180000));
    const DWORD wall = GetTickCount() - started;
    EXPECT_FALSE(Exists(erase.Path()));
    EXPECT_EQ(window.Cell(0, 3, kResultList), kCompleted);
    // The clock shows whole seconds of the run alone; three seconds of pause would not fit.
    EXPECT_LE(window.ElapsedSeconds(), (wall - pause) / 1000 + 1) << window.Text(kEraseTime);
    EXPECT_TRUE(erase.Program().Close());
}

TEST_F(EraseWindowTest, AbortItemAsksAndOnlyYesAbortsLeavingTheFileInPlace) {
    CLargeErase erase(L"abort", kGutmannMethod);
    ASSERT_TRUE(erase.Ready());
    const CEraseWindow& window = erase.Window();
    // Paused first, so that the item is surely still running when the question comes.
    window.Command(kPauseNow);
    ASSERT_TRUE(window.WaitForStatus(0, kPaused, 5000));

    window.Command(kAbortItem);
    EXPECT_EQ(window.Answer(IDNO),
              L"現項目は処理中に状態が不明ですが、そのまま残して処理を中止しますか？");
    Settle(500);
    EXPECT_EQ(window.Cell(0, 3), kPaused) << "No changes nothing";
    EXPECT_EQ(window.Rows(kResultList), 0);

    window.Command(kAbortItem);
    window.Answer(IDYES);
    ASSERT_TRUE(window.WaitForRows(0));
    ASSERT_EQ(window.Rows(kResultList), 1);
    EXPECT_EQ(window.Cell(0, 3, kResultList), kAborted);
    EXPECT_TRUE(Exists(erase.Path())) << "an aborted file stays where it was";
    EXPECT_TRUE(erase.Program().Close());
}

TEST_F(EraseWindowTest, FinishItemCompletesItAndCancelsEveryLaterRow) {
    const std::wstring folder = ScratchFolder(L"finish");
    const std::wstring small1 = folder + L"\\later1.txt";
    const std::wstring small2 = folder + L"\\later2.txt";
    ASSERT_TRUE(WriteBytes(small1, 0, 100));
    ASSERT_TRUE(WriteBytes(small2, 0, 100));
    CLargeErase erase(L"finish", kSevenPassMethod, {small1, small2});
    ASSERT_TRUE(erase.Ready());
    const CEraseWindow& window = erase.Window();
    // Paused first, so that the later rows are surely still waiting; finishing resumes.
    window.Command(kPauseNow);
    ASSERT_TRUE(window.WaitForStatus(0, kPaused, 5000));
    ASSERT_EQ(window.Rows(), 3);

    window.Command(kFinishItem);
    ASSERT_TRUE(WaitUntil(180000, [&] { return window.Rows(kResultList) == 1; }));
    EXPECT_EQ(window.Cell(0, 3, kResultList), kCompleted);
    EXPECT_FALSE(Exists(erase.Path()));
    Settle(500);
    ASSERT_EQ(window.Rows(), 2) << "cancelled rows stay until the user removes them";
    EXPECT_EQ(window.Cell(0, 3), kAborted);
    EXPECT_EQ(window.Cell(1, 3), kAborted);
    EXPECT_TRUE(Exists(small1));
    EXPECT_TRUE(Exists(small2));
    EXPECT_TRUE(erase.Program().Close()) << "cancelled rows are no work left";
}

TEST_F(EraseWindowTest, ClosingWhileAnItemRunsAsksAndYesEndsTheProgram) {
    CLargeErase erase(L"close", kGutmannMethod);
    ASSERT_TRUE(erase.Ready());
    PostMessageW(erase.Program().Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(erase.Window().Answer(IDNO), L"処理を中止してヌルベインを終了しますか？");
    Settle(300);
    EXPECT_FALSE(erase.Program().WaitForExit(0)) << "No keeps the program running";
    PostMessageW(erase.Program().Window(), WM_CLOSE, 0, 0);
    erase.Window().Answer(IDYES);
    EXPECT_TRUE(erase.Program().WaitForExit(30000));
    EXPECT_TRUE(Exists(erase.Path())) << "the running item was aborted, not finished";
}

TEST_F(EraseWindowTest, WindowsTempWithTempAndTmpDifferingInCaseEmptiesTheFolderOnce) {
    const std::wstring folder = ScratchFolder(L"wintemp");
    const std::wstring inner = folder + L"\\inner";
    CreateDirectoryW(inner.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(folder + L"\\a.tmp", 0, 2000));
    ASSERT_TRUE(WriteBytes(inner + L"\\b.tmp", 0, 2000));
    wchar_t oldTemp[MAX_PATH] = {}, oldTmp[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TEMP", oldTemp, MAX_PATH);
    GetEnvironmentVariableW(L"TMP", oldTmp, MAX_PATH);
    std::wstring upper = folder;
    CharUpperW(upper.data());
    SetEnvironmentVariableW(L"TEMP", folder.c_str());
    SetEnvironmentVariableW(L"TMP", upper.c_str());
    CProgram program(ProgramPath());
    const bool started = program.Start();
    SetEnvironmentVariableW(L"TEMP", oldTemp);
    SetEnvironmentVariableW(L"TMP", oldTmp);
    ASSERT_TRUE(started);
    CEraseWindow window(&program);

    window.Command(kWindowsTemp);
    ASSERT_TRUE(window.WaitForRows(1));
    Settle(500);
    EXPECT_EQ(window.Rows(), 1) << "one folder, one row";
    EXPECT_EQ(window.Cell(0, 2), L"Windows 一時ファイルを消去");
    window.Command(kStartErase);
    ASSERT_TRUE(window.WaitForRows(0));
    EXPECT_EQ(window.Cell(0, 3, kResultList), kCompleted);
    EXPECT_TRUE(Exists(folder)) << "the folder itself stays";
    EXPECT_FALSE(Exists(folder + L"\\a.tmp"));
    EXPECT_FALSE(Exists(inner));
    EXPECT_TRUE(program.Close());
}

TEST_F(EraseWindowTest, ThePickerAddsTheChosenFilesAndFolderAndCancelAddsNothing) {
    const std::wstring folder = ScratchFolder(L"picker");
    CreateDirectoryW((folder + L"\\chosen folder").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(folder + L"\\first.txt", 0, 100));
    ASSERT_TRUE(WriteBytes(folder + L"\\second.txt", 0, 100));
    const std::wstring latest = std::wstring(kProgramKey) + L"\\Latest";
    RegSetKeyValueW(HKEY_CURRENT_USER, latest.c_str(), L"BrowseFolder", REG_SZ, folder.c_str(),
                    static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    CEraseWindow window(&program);
    window.Command(kGotoBasic);

    // Three items of one folder, picked together and confirmed with the select button.
    window.Command(kAddItems);
    HWND picker = program.WaitForOtherWindow(10000);
    ASSERT_NE(picker, nullptr) << "no picker";
    HWND view = nullptr;
    ASSERT_TRUE(WaitUntil(10000, [&] {
        view = FindDescendant(picker, WC_LISTVIEWW);
        return view != nullptr && SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) == 3;
    })) << "the picker shows the start folder's three items";
    for (int row = 0; row < 3; ++row) {
        program.SelectRow(view, row);
    }
    Settle(500);
    const std::wstring label = L"選択";
    HWND select = FindDescendant(picker, WC_BUTTONW, &label);
    ASSERT_NE(select, nullptr);
    PostMessageW(select, BM_CLICK, 0, 0);
    ASSERT_TRUE(window.WaitForRows(3));
    std::vector<std::wstring> paths;
    for (int row = 0; row < 3; ++row) {
        paths.push_back(window.Cell(row, 1));
    }
    std::sort(paths.begin(), paths.end());
    const std::vector<std::wstring> expected = {folder + L"\\chosen folder",
                                                folder + L"\\first.txt", folder + L"\\second.txt"};
    EXPECT_EQ(paths, expected);

    // Cancelled: nothing is added and nothing is said.
    window.Command(kAddItems);
    picker = program.WaitForOtherWindow(10000);
    ASSERT_NE(picker, nullptr);
    PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil(5000, [&] { return !IsWindow(picker) || !IsWindowVisible(picker); }));
    EXPECT_EQ(program.WaitForOtherWindow(1000), nullptr) << "no message after a cancel";
    EXPECT_EQ(window.Rows(), 3);
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    window.Answer(IDYES);
    EXPECT_TRUE(program.WaitForExit(10000));
}

// The source side of a drag: drops as soon as the mouse button is up, as when the user
// lets go over the target.
class CDropSource final : public IDropSource {
public:
    IFACEMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDropSource) {
            *object = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return 2; }
    IFACEMETHODIMP_(ULONG) Release() override { return 1; }
    IFACEMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) {
            return DRAGDROP_S_CANCEL;
        }
        return (keys & MK_LBUTTON) != 0 ? S_OK : DRAGDROP_S_DROP;
    }
    IFACEMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// The data object Explorer hands out for items of one folder.
IDataObject* ShellDataObject(const std::wstring& folder, const std::vector<std::wstring>& names) {
    IShellFolder* desktop = nullptr;
    IShellFolder* parent = nullptr;
    PIDLIST_ABSOLUTE folderList = nullptr;
    IDataObject* data = nullptr;
    std::vector<PITEMID_CHILD> items;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop)) &&
        SUCCEEDED(SHParseDisplayName(folder.c_str(), nullptr, &folderList, 0, nullptr)) &&
        SUCCEEDED(desktop->BindToObject(folderList, nullptr, IID_IShellFolder,
                                        reinterpret_cast<void**>(&parent)))) {
        for (const std::wstring& name : names) {
            PIDLIST_RELATIVE item = nullptr;
            std::wstring copy = name;
            if (SUCCEEDED(parent->ParseDisplayName(nullptr, nullptr, copy.data(), nullptr, &item,
                                                   nullptr))) {
                items.push_back(static_cast<PITEMID_CHILD>(item));
            }
        }
        if (items.size() == names.size()) {
            parent->GetUIObjectOf(nullptr, static_cast<UINT>(items.size()),
                                  const_cast<PCUITEMID_CHILD_ARRAY>(items.data()), IID_IDataObject,
                                  nullptr, reinterpret_cast<void**>(&data));
        }
    }
    for (PITEMID_CHILD item : items) {
        CoTaskMemFree(item);
    }
    CoTaskMemFree(folderList);
    if (parent != nullptr) {
        parent->Release();
    }
    if (desktop != nullptr) {
        desktop->Release();
    }
    return data;
}

TEST_F(EraseWindowTest, ADropOfExplorerItemsAddsThemAsOneRequest) {
    const std::wstring folder = ScratchFolder(L"drop");
    CreateDirectoryW((folder + L"\\sub").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(folder + L"\\one.txt", 0, 100));
    ASSERT_TRUE(WriteBytes(folder + L"\\two.txt", 0, 100));
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    CProgram program(ProgramPath());
    ASSERT_TRUE(program.Start());
    CEraseWindow window(&program);
    IDataObject* data = ShellDataObject(folder, {L"one.txt", L"sub", L"two.txt"});
    ASSERT_NE(data, nullptr);

    // A real drag from this process onto the program's window, let go at once.
    RECT target = {};
    GetWindowRect(window.Control(kTabs), &target);
    SetCursorPos((target.left + target.right) / 2, target.bottom + 40);
    CDropSource source;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT dropped = DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
    data->Release();
    EXPECT_EQ(dropped, DRAGDROP_S_DROP);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK)) << "the target links";

    ASSERT_TRUE(window.WaitForRows(3));
    EXPECT_EQ(window.Cell(0, 1), folder + L"\\one.txt");
    EXPECT_EQ(window.Cell(1, 1), folder + L"\\sub");
    EXPECT_EQ(window.Cell(1, 2), L"フォルダ及び内容を消去");
    EXPECT_EQ(window.Cell(2, 1), folder + L"\\two.txt");
    EXPECT_EQ(window.Tab(), 1);
    EXPECT_TRUE(Exists(folder + L"\\one.txt")) << "a drop only asks; nothing is erased yet";
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    window.Answer(IDYES);  // rows await confirmation: the quit question comes first
    EXPECT_TRUE(program.WaitForExit(10000));
    OleUninitialize();
}

}  // namespace
}  // namespace qmz::gui
