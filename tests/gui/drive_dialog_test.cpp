// The drive dialog of the real QMZ4.exe under Wine, opened by the free-space and the
// whole-volume buttons and driven with real mouse clicks. The test prefix's drives are B:
// (the build tree), C: and D: (the scratch folder), all on the host's disk: rows are only
// ever added to the erase list, never erased, and removed again before the program ends.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <winioctl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/gui/erase_window_driver.h"
#include "tests/gui/program_driver.h"

namespace qmz::gui {
namespace {

constexpr int kFreeSpace = 1020;
constexpr int kEntirePartition = 1023;
constexpr int kRecycleBin = 1022;
constexpr int kSelectAll = 1010;
constexpr int kRemoveSelected = 1012;
// The drive dialog's controls.
constexpr int kDriveFrame = 1044;
constexpr int kDriveList = 1045;
constexpr DWORD kExpectedExtendedStyles = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
constexpr UINT kCheckedImage = 2;

constexpr wchar_t kFreeSpaceKind[] = L"フリースペースを消去";
constexpr wchar_t kEntirePartitionKind[] = L"ドライブ領域をまるごと消去";
constexpr wchar_t kRecycleBinKind[] = L"ごみ箱の中身を消去";

// Memory in the program's process for the list messages that carry a structure.
class CRemoteMemory {
public:
    CRemoteMemory(DWORD processId, size_t size)
        : m_process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                processId)) {
        if (m_process != nullptr) {
            m_address = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        }
    }
    ~CRemoteMemory() {
        if (m_address != nullptr) {
            VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        }
        if (m_process != nullptr) {
            CloseHandle(m_process);
        }
    }
    CRemoteMemory(const CRemoteMemory&) = delete;
    CRemoteMemory& operator=(const CRemoteMemory&) = delete;

    LPARAM Address() const { return reinterpret_cast<LPARAM>(m_address); }
    bool Write(const void* data, size_t size) {
        return m_address != nullptr &&
               WriteProcessMemory(m_process, m_address, data, size, nullptr) != FALSE;
    }
    bool Read(void* data, size_t size) const {
        return m_address != nullptr &&
               ReadProcessMemory(m_process, m_address, data, size, nullptr) != FALSE;
    }

private:
    HANDLE m_process;
    void* m_address = nullptr;
};

// What the dialog's size columns must show: whole bytes below a kibibyte, else one
// decimal in KB and two in MB, GB and TB.
std::wstring SizeText(ULONGLONG bytes) {
    const double value = static_cast<double>(bytes);
    const wchar_t* units[] = {L"KB", L"MB", L"GB", L"TB"};
    wchar_t text[64] = {};
    if (bytes < 1024) {
        swprintf(text, 64, L"%llu", bytes);
        return text;
    }
    int unit = 0;
    double scaled = value / 1024.0;
    while (unit < 3 && scaled >= 1024.0) {
        scaled /= 1024.0;
        ++unit;
    }
    swprintf(text, 64, unit == 0 ? L"%.1f %ls" : L"%.2f %ls", scaled, units[unit]);
    return text;
}

// What the system says of a drive: its label, its free bytes and its size, the size being
// the volume device's length where the device reports one.
struct DriveFacts {
    std::wstring label;
    ULONGLONG free = 0;
    ULONGLONG total = 0;
};

DriveFacts FactsOf(wchar_t letter) {
    DriveFacts facts;
    const std::wstring root = std::wstring(1, letter) + L":\\";
    wchar_t label[MAX_PATH + 1] = {};
    if (GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                              0)) {
        facts.label = label;
    }
    ULARGE_INTEGER caller = {}, total = {}, free = {};
    if (GetDiskFreeSpaceExW(root.c_str(), &caller, &total, &free)) {
        facts.free = free.QuadPart;
        facts.total = total.QuadPart;
    }
    const std::wstring device = L"\\\\.\\" + std::wstring(1, letter) + L":";
    HANDLE volume = CreateFileW(device.c_str(), FILE_READ_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (volume != INVALID_HANDLE_VALUE) {
        GET_LENGTH_INFORMATION length = {};
        DWORD returned = 0;
        if (DeviceIoControl(volume, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof(length),
                            &returned, nullptr)) {
            facts.total = static_cast<ULONGLONG>(length.Length.QuadPart);
        }
        CloseHandle(volume);
    }
    return facts;
}

// The drive dialog of a running program once a button opened it.
class CDriveDialog {
public:
    CDriveDialog(const CProgram& program, const CEraseWindow& window, int button)
        : m_program(program) {
        window.Command(button);
        m_dialog = program.WaitForOtherWindow(10000);
        if (m_dialog != nullptr && GetDlgItem(m_dialog, kDriveList) == nullptr) {
            m_dialog = nullptr;  // some other window: not the drive dialog
        }
    }

    HWND Handle() const { return m_dialog; }
    HWND List() const { return GetDlgItem(m_dialog, kDriveList); }
    int Rows() const { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring Cell(int row, int column) const { return m_program.CellText(List(), row, column); }
    std::vector<std::wstring> Paths() const {
        std::vector<std::wstring> paths;
        for (int row = 0; row < Rows(); ++row) {
            paths.push_back(Cell(row, 0));
        }
        return paths;
    }
    bool Selected(int row) const {
        return (SendMessageW(List(), LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    }
    bool Checked(int row) const {
        const UINT state =
            static_cast<UINT>(SendMessageW(List(), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
        return ((state & LVIS_STATEIMAGEMASK) >> 12) == kCheckedImage;
    }
    // Which rows are selected and which are checked, as "SC" per row ("-" for neither).
    std::wstring Marks() const {
        std::wstring marks;
        for (int row = 0; row < Rows(); ++row) {
            marks += Selected(row) ? L'S' : L'-';
            marks += Checked(row) ? L'C' : L'-';
            marks += L' ';
        }
        return marks;
    }
    // A real left click (no key held) on the row's check box or, with `onBox` false, on
    // its text in the volume column.
    bool ClickRow(int row, bool onBox) const {
        RECT bounds = {};
        bounds.left = LVIR_BOUNDS;
        CRemoteMemory remote(m_program.ProcessId(), sizeof(bounds));
        if (!remote.Write(&bounds, sizeof(bounds)) ||
            !SendMessageW(List(), LVM_GETITEMRECT, row, remote.Address()) ||
            !remote.Read(&bounds, sizeof(bounds))) {
            return false;
        }
        const int columnWidth = static_cast<int>(SendMessageW(List(), LVM_GETCOLUMNWIDTH, 0, 0));
        POINT point = {onBox ? bounds.left + 8 : bounds.left + columnWidth + 10,
                       (bounds.top + bounds.bottom) / 2};
        if (onBox && HitFlags(point) != LVHT_ONITEMSTATEICON) {
            ADD_FAILURE() << "no check box at the left of row " << row;
            return false;
        }
        ClientToScreen(List(), &point);
        SetCursorPos(point.x, point.y);
        Settle(100);
        INPUT clicks[2] = {};
        clicks[0].type = INPUT_MOUSE;
        clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        clicks[1].type = INPUT_MOUSE;
        clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, clicks, sizeof(INPUT));
        Settle(400);
        return true;
    }
    // LVM_SETITEMSTATE of the check box alone, as the space bar or an accessibility tool
    // would tick it.
    void SetChecked(int row, bool checked) const {
        LVITEMW item = {};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
        CRemoteMemory remote(m_program.ProcessId(), sizeof(item));
        remote.Write(&item, sizeof(item));
        SendMessageW(List(), LVM_SETITEMSTATE, row, remote.Address());
        Settle(100);
    }
    // Clicks a button; true when the dialog closed within a few seconds.
    bool Press(int button) const {
        PostMessageW(GetDlgItem(m_dialog, button), BM_CLICK, 0, 0);
        return WaitUntil(3000, [&] { return !IsWindow(m_dialog); });
    }
    void Shoot(const std::wstring& name) const {
        if (!ScreenshotFolder().empty()) {
            EXPECT_TRUE(SaveScreenshot(m_dialog, ScreenshotFolder() + L"\\" + name));
        }
    }

private:
    UINT HitFlags(POINT point) const {
        LVHITTESTINFO hit = {};
        hit.pt = point;
        CRemoteMemory remote(m_program.ProcessId(), sizeof(hit));
        remote.Write(&hit, sizeof(hit));
        SendMessageW(List(), LVM_HITTEST, 0, remote.Address());
        remote.Read(&hit, sizeof(hit));
        return hit.flags;
    }

    const CProgram& m_program;
    HWND m_dialog = nullptr;
};

class DriveDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetRegistry();
        // Rows must wait for a confirmation that this test never gives.
        SetSetting(L"Autorun", 0);
        ASSERT_TRUE(m_program.Start());
    }
    void TearDown() override {
        // Nothing the dialog added stays behind, so nothing can ever be started.
        if (m_window.Rows() > 0) {
            m_window.Command(kSelectAll);
            Settle(200);
            m_window.Command(kRemoveSelected);
            EXPECT_TRUE(m_window.WaitForRows(0, 5000));
        }
        EXPECT_TRUE(m_program.Close());
        ResetRegistry();
    }

    CProgram m_program{ProgramPath()};
    CEraseWindow m_window{&m_program};
};

TEST_F(DriveDialogTest, TheFreeSpaceButtonListsTheDrivesAndAddsOneRowPerChosenDrive) {
    CDriveDialog dialog(m_program, m_window, kFreeSpace);
    ASSERT_NE(dialog.Handle(), nullptr) << "the free-space button opened no drive dialog";
    EXPECT_EQ(WindowText(dialog.Handle()), L"Nulvane Z 4");
    EXPECT_EQ(WindowText(GetDlgItem(dialog.Handle(), kDriveFrame)), L"ドライブの選択");
    EXPECT_EQ(WindowText(GetDlgItem(dialog.Handle(), IDOK)), L"OK");
    EXPECT_EQ(WindowText(GetDlgItem(dialog.Handle(), IDCANCEL)), L"キャンセル");

    // Four columns, each a fifth of the list's width; several rows may be chosen.
    const HWND list = dialog.List();
    RECT client = {};
    GetClientRect(list, &client);
    const wchar_t* captions[] = {L"ドライブ文字", L"ボリューム", L"フリースペース", L"総合容量"};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(m_program.ColumnCaption(list, column), captions[column]);
        EXPECT_EQ(m_program.ColumnWidth(list, column), client.right / 5) << column;
    }
    EXPECT_EQ(m_program.ColumnCaption(list, 4), L"<none>");
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(list, GWL_STYLE));
    EXPECT_EQ(style & (LVS_TYPEMASK | LVS_SHOWSELALWAYS | LVS_SINGLESEL),
              static_cast<DWORD>(LVS_REPORT | LVS_SHOWSELALWAYS));
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & kExpectedExtendedStyles,
              static_cast<LRESULT>(kExpectedExtendedStyles));

    // Every drive of the prefix, in order, with the label and sizes the system reports.
    ASSERT_EQ(dialog.Paths(), (std::vector<std::wstring>{L"B:", L"C:", L"D:"}));
    for (int row = 0; row < 3; ++row) {
        const wchar_t letter = static_cast<wchar_t>(L'B' + row);
        const DriveFacts before = FactsOf(letter);
        const std::wstring freeText = dialog.Cell(row, 2);
        const DriveFacts after = FactsOf(letter);
        EXPECT_EQ(dialog.Cell(row, 1), before.label) << row;
        // The host disk is shared with other work: its free space may move meanwhile.
        EXPECT_TRUE(freeText == SizeText(before.free) || freeText == SizeText(after.free))
            << "row " << row << ": " << freeText << " for " << before.free << " bytes free";
        EXPECT_EQ(dialog.Cell(row, 3), SizeText(before.total)) << row;
        std::printf("row %d: %ls | %ls | %ls | %ls\n", row, dialog.Cell(row, 0).c_str(),
                    dialog.Cell(row, 1).c_str(), freeText.c_str(), dialog.Cell(row, 3).c_str());
    }
    dialog.Shoot(L"drives_free_space.bmp");

    // OK without a chosen drive leaves the dialog open and adds nothing.
    EXPECT_FALSE(dialog.Press(IDOK));
    EXPECT_TRUE(IsWindowVisible(dialog.Handle()));
    EXPECT_EQ(m_window.Rows(), 0);

    // Ticking a box selects its row, and more boxes add more rows; a plain click on
    // another row's text selects that row alone, and the others lose their ticks.
    ASSERT_TRUE(dialog.ClickRow(0, true));
    EXPECT_EQ(dialog.Marks(), L"SC -- -- ");
    ASSERT_TRUE(dialog.ClickRow(2, true));
    EXPECT_EQ(dialog.Marks(), L"SC -- SC ");
    ASSERT_TRUE(dialog.ClickRow(2, true));
    EXPECT_EQ(dialog.Marks(), L"SC -- -- ");
    ASSERT_TRUE(dialog.ClickRow(1, false));
    EXPECT_EQ(dialog.Marks(), L"-- SC -- ");
    // A tick set without a click selects as well.
    dialog.SetChecked(0, true);
    EXPECT_EQ(dialog.Marks(), L"SC SC -- ");
    dialog.SetChecked(0, false);
    EXPECT_EQ(dialog.Marks(), L"-- SC -- ");

    // OK: one free-space row for the chosen drive, awaiting confirmation, in view.
    ASSERT_TRUE(dialog.Press(IDOK));
    ASSERT_TRUE(m_window.WaitForRows(1, 5000));
    EXPECT_EQ(m_window.Cell(0, 1), L"C:");
    EXPECT_EQ(m_window.Cell(0, 2), kFreeSpaceKind);
    EXPECT_EQ(m_window.Cell(0, 3), kAwaiting);

    // Cancel adds nothing, whatever was ticked.
    CDriveDialog cancelled(m_program, m_window, kFreeSpace);
    ASSERT_NE(cancelled.Handle(), nullptr);
    ASSERT_TRUE(cancelled.ClickRow(0, true));
    ASSERT_TRUE(cancelled.ClickRow(2, true));
    ASSERT_TRUE(cancelled.Press(IDCANCEL));
    Settle(500);
    EXPECT_EQ(m_window.Rows(), 1);

    // Two drives chosen: a row for each, in the list's order, after the first.
    CDriveDialog two(m_program, m_window, kFreeSpace);
    ASSERT_NE(two.Handle(), nullptr);
    ASSERT_TRUE(two.ClickRow(2, true));
    ASSERT_TRUE(two.ClickRow(0, true));
    ASSERT_TRUE(two.Press(IDOK));
    ASSERT_TRUE(m_window.WaitForRows(3, 5000));
    EXPECT_EQ(m_window.Cell(1, 1), L"B:");
    EXPECT_EQ(m_window.Cell(2, 1), L"D:");
    EXPECT_EQ(m_window.Cell(2, 2), kFreeSpaceKind);
}

TEST_F(DriveDialogTest, TheWholeVolumeButtonNeverOffersTheWindowsVolume) {
    CDriveDialog dialog(m_program, m_window, kEntirePartition);
    ASSERT_NE(dialog.Handle(), nullptr) << "the whole-volume button opened no drive dialog";
    EXPECT_EQ(dialog.Paths(), (std::vector<std::wstring>{L"B:", L"D:"}));
    dialog.Shoot(L"drives_whole_volume.bmp");

    ASSERT_TRUE(dialog.ClickRow(1, false));
    EXPECT_EQ(dialog.Marks(), L"-- SC ");
    ASSERT_TRUE(dialog.Press(IDOK));
    ASSERT_TRUE(m_window.WaitForRows(1, 5000));
    EXPECT_EQ(m_window.Cell(0, 1), L"D:");
    EXPECT_EQ(m_window.Cell(0, 2), kEntirePartitionKind);
    EXPECT_EQ(m_window.Cell(0, 3), kAwaiting);
}

// The Recycle Bin button asks for no drive: it adds its one row at once.
TEST_F(DriveDialogTest, TheRecycleBinButtonAddsItsRowWithoutADialog) {
    m_window.Command(kRecycleBin);
    ASSERT_TRUE(m_window.WaitForRows(1, 5000));
    EXPECT_EQ(m_window.Cell(0, 1), L"ごみ箱");
    EXPECT_EQ(m_window.Cell(0, 2), kRecycleBinKind);
    EXPECT_EQ(m_window.Cell(0, 3), kAwaiting);
}

}  // namespace
}  // namespace qmz::gui

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fwprintf(stderr, L"usage: drive_dialog_tests QMZ4.exe [screenshot folder]\n");
        return 2;
    }
    qmz::gui::ProgramPath() = argv[1];
    if (argc > 2) {
        qmz::gui::ScreenshotFolder() = argv[2];
    }
    return RUN_ALL_TESTS();
}
