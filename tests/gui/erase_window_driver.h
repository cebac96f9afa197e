// What the Wine suites share to drive the real program as a user: its settings key,
// scratch files, and the main window's controls, lists, pause menu and message boxes.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/gui/program_driver.h"

namespace qmz::gui {

inline constexpr wchar_t kProgramKey[] = L"Software\\Quellmark\\QMZ4";
constexpr int kEraseList = 1009;
constexpr int kResultList = 1025;
constexpr int kTabs = 1003;
constexpr int kPauseButton = 1041;
constexpr int kStartErase = 1042;
constexpr int kWindowsTemp = 1021;
constexpr int kGotoBasic = 1006;
constexpr int kAddItems = 1013;
constexpr int kErasedCount = 1034;
constexpr int kEraseTime = 1036;
// Pause menu commands.
constexpr int kPauseNow = 32774;
constexpr int kFinishItem = 32778;
constexpr int kAbortItem = 32779;
// A large file with many passes stays busy long enough to steer it: seconds with the
// 7-pass method, far longer with the 35 passes of Gutmann's.
constexpr DWORD kSevenPassMethod = 12;
constexpr DWORD kGutmannMethod = 17;
constexpr DWORD kLargeFileMiB = 192;

constexpr wchar_t kAwaiting[] = L"ユーザ確認待ち";
constexpr wchar_t kExecuting[] = L"処理中";
constexpr wchar_t kPaused[] = L"中断中";
constexpr wchar_t kCompleted[] = L"完了済み";
constexpr wchar_t kAborted[] = L"中止済み";

inline void ResetRegistry() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
}

inline void SetSetting(const wchar_t* name, DWORD value) {
    const std::wstring key = std::wstring(kProgramKey) + L"\\Settings";
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_DWORD, &value, sizeof(value));
}

// A fresh folder on the scratch drive for one test.
inline std::wstring ScratchFolder(const std::wstring& name) {
    const std::wstring folder = L"D:\\gui\\" + name;
    CreateDirectoryW(L"D:\\gui", nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

inline bool WriteBytes(const std::wstring& path, size_t mebibytes, size_t extraBytes = 0,
                       char fill = 'q') {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) {
        return false;
    }
    const std::vector<char> chunk(1 << 20, fill);
    bool ok = true;
    for (size_t i = 0; i < mebibytes && ok; ++i) {
        ok = fwrite(chunk.data(), chunk.size(), 1, file) == 1;
    }
    if (ok && extraBytes > 0) {
        ok = fwrite(chunk.data(), extraBytes, 1, file) == 1;
    }
    return fclose(file) == 0 && ok;
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline ULONGLONG LastWrite(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

class CEraseWindow {
public:
    explicit CEraseWindow(CProgram* program) : m_program(program) {}

    HWND Control(int id) const { return GetDlgItem(m_program->Window(), id); }
    int Rows(int list = kEraseList) const {
        return static_cast<int>(SendMessageW(Control(list), LVM_GETITEMCOUNT, 0, 0));
    }
    std::wstring Cell(int row, int column, int list = kEraseList) const {
        return m_program->CellText(Control(list), row, column);
    }
    int Tab() const { return static_cast<int>(SendMessageW(Control(kTabs), TCM_GETCURSEL, 0, 0)); }
    std::wstring Text(int id) const {
        // WM_GETTEXT, which the system carries across processes; GetWindowTextW would
        // give another process's edit control's caption, not its contents.
        wchar_t text[256] = {};
        SendMessageW(Control(id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        return text;
    }
    // A click on a button of the window, or a menu command.
    void Command(int id) const {
        PostMessageW(m_program->Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(id)));
    }
    bool WaitForStatus(int row, const std::wstring& status, DWORD milliseconds = 20000) const {
        return WaitUntil(milliseconds, [&] { return Rows() > row && Cell(row, 3) == status; });
    }
    bool WaitForRows(int rows, DWORD milliseconds = 20000) const {
        return WaitUntil(milliseconds, [&] { return Rows() == rows; });
    }
    // The elapsed time of control 1036 in seconds.
    unsigned ElapsedSeconds() const {
        unsigned hours = 0, minutes = 0, seconds = 0;
        swscanf(Text(kEraseTime).c_str(), L"%u:%u:%u", &hours, &minutes, &seconds);
        return hours * 3600 + minutes * 60 + seconds;
    }
    // Clicks the pause button and picks the item with mnemonic `key` from the pause menu
    // that pops up, after `thinkMilliseconds`; false when no menu came.
    bool PauseMenu(wchar_t key, DWORD thinkMilliseconds = 0) const {
        PostMessageW(Control(kPauseButton), BM_CLICK, 0, 0);
        HWND menu = nullptr;
        WaitUntil(5000, [&] {
            menu = FindWindowW(L"#32768", nullptr);
            return menu != nullptr && IsWindowVisible(menu);
        });
        if (menu == nullptr || !IsWindowVisible(menu)) {
            return false;
        }
        Settle(thinkMilliseconds);
        PostMessageW(menu, WM_CHAR, key, 0);
        return WaitUntil(5000, [&] { return !IsWindowVisible(menu); });
    }
    // Answers the message box that the program shows next; returns its text.
    std::wstring Answer(int button) const {
        HWND box = m_program->WaitForOtherWindow(10000);
        if (box == nullptr) {
            return L"<no message box>";
        }
        const std::wstring text = MessageBoxText(box);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, 0), 0);
        WaitUntil(5000, [&] { return !IsWindow(box) || !IsWindowVisible(box); });
        return text;
    }
    void Shoot(const std::wstring& name) const {
        if (!ScreenshotFolder().empty()) {
            EXPECT_TRUE(SaveScreenshot(m_program->Window(), ScreenshotFolder() + L"\\" + name));
        }
    }

private:
    CProgram* m_program;
};

}  // namespace qmz::gui
