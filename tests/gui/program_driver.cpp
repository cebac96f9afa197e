#include "tests/gui/program_driver.h"

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>

#include <cstdio>
#include <vector>

namespace qmz::gui {
namespace {

struct FindData {
    DWORD processId;
    HWND found;
    int visibleCount;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM param) {
    auto* data = reinterpret_cast<FindData*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != data->processId || !IsWindowVisible(window)) {
        return TRUE;
    }
    ++data->visibleCount;
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (std::wstring(className) == L"#32770" && GetMenu(window) != nullptr && !IsIconic(window)) {
        data->found = window;
    }
    return TRUE;
}

// A buffer in another process, freed at the end of the scope.
class CRemoteBuffer {
public:
    CRemoteBuffer(DWORD processId, size_t size)
        : m_process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                processId)),
          m_size(size) {
        if (m_process != nullptr) {
            m_address = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        }
    }
    ~CRemoteBuffer() {
        if (m_address != nullptr) {
            VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        }
        if (m_process != nullptr) {
            CloseHandle(m_process);
        }
    }
    CRemoteBuffer(const CRemoteBuffer&) = delete;
    CRemoteBuffer& operator=(const CRemoteBuffer&) = delete;

    char* Address() const { return static_cast<char*>(m_address); }
    bool Write(const void* data, size_t size, size_t offset = 0) {
        return WriteProcessMemory(m_process, Address() + offset, data, size, nullptr) != FALSE;
    }
    bool Read(void* data, size_t size, size_t offset = 0) const {
        return ReadProcessMemory(m_process, Address() + offset, data, size, nullptr) != FALSE;
    }

private:
    HANDLE m_process;
    size_t m_size;
    void* m_address = nullptr;
};

constexpr size_t kTextChars = 256;

}  // namespace

CProgram::~CProgram() {
    if (m_process.hProcess != nullptr) {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.hProcess, 1);
        }
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
    }
}

bool CProgram::Start(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + m_exePath + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(m_exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &m_process)) {
        return false;
    }
    for (int i = 0; i < 200 && m_window == nullptr; ++i) {
        Settle(50);
        FindData data{m_process.dwProcessId, nullptr, 0};
        EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&data));
        m_window = data.found;
    }
    Settle(300);  // let the restore and the layout finish
    return m_window != nullptr;
}

bool CProgram::Close() {
    PostMessageW(m_window, WM_CLOSE, 0, 0);
    for (int i = 0; i < 200; ++i) {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0) {
            return true;
        }
        Settle(50);
    }
    return false;
}

bool CProgram::WaitForExit(DWORD milliseconds) {
    return WaitForSingleObject(m_process.hProcess, milliseconds) == WAIT_OBJECT_0;
}

int CProgram::VisibleWindowCount() const {
    FindData data{m_process.dwProcessId, nullptr, 0};
    EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&data));
    return data.visibleCount;
}

std::wstring CProgram::ColumnCaption(HWND list, int column) const {
    CRemoteBuffer remote(m_process.dwProcessId, sizeof(LVCOLUMNW) + kTextChars * sizeof(wchar_t));
    LVCOLUMNW info = {};
    info.mask = LVCF_TEXT;
    info.pszText = reinterpret_cast<LPWSTR>(remote.Address() + sizeof(LVCOLUMNW));
    info.cchTextMax = kTextChars;
    remote.Write(&info, sizeof(info));
    if (!SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(remote.Address()))) {
        return L"<none>";
    }
    std::vector<wchar_t> text(kTextChars);
    remote.Read(text.data(), kTextChars * sizeof(wchar_t), sizeof(LVCOLUMNW));
    text.back() = L'\0';
    return text.data();
}

int CProgram::ColumnWidth(HWND list, int column) const {
    return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
}

std::wstring CProgram::TabCaption(HWND tabs, int tab) const {
    CRemoteBuffer remote(m_process.dwProcessId, sizeof(TCITEMW) + kTextChars * sizeof(wchar_t));
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<LPWSTR>(remote.Address() + sizeof(TCITEMW));
    item.cchTextMax = kTextChars;
    remote.Write(&item, sizeof(item));
    if (!SendMessageW(tabs, TCM_GETITEMW, tab, reinterpret_cast<LPARAM>(remote.Address()))) {
        return L"<none>";
    }
    std::vector<wchar_t> text(kTextChars);
    remote.Read(text.data(), kTextChars * sizeof(wchar_t), sizeof(TCITEMW));
    text.back() = L'\0';
    return text.data();
}

std::wstring CProgram::CellText(HWND list, int row, int column) const {
    return ListCellText(m_process.dwProcessId, list, row, column);
}

std::wstring ListCellText(DWORD processId, HWND list, int row, int column) {
    CRemoteBuffer remote(processId, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(remote.Address() + sizeof(LVITEMW));
    item.cchTextMax = kTextChars;
    if (remote.Address() == nullptr || !remote.Write(&item, sizeof(item))) {
        return L"<unreadable>";
    }
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.Address()));
    std::vector<wchar_t> text(kTextChars);
    remote.Read(text.data(), kTextChars * sizeof(wchar_t), sizeof(LVITEMW));
    text.back() = L'\0';
    return text.data();
}

int CProgram::ItemGroupId(HWND list, int row) const {
    CRemoteBuffer remote(m_process.dwProcessId, sizeof(LVITEMW));
    LVITEMW item = {};
    item.mask = LVIF_GROUPID;
    item.iItem = row;
    item.iGroupId = -100;  // no answer stays recognisable
    if (remote.Address() == nullptr || !remote.Write(&item, sizeof(item))) {
        return -100;
    }
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.Address()));
    remote.Read(&item, sizeof(item), 0);
    return item.iGroupId;
}

void CProgram::SelectRow(HWND list, int row) const {
    CRemoteBuffer remote(m_process.dwProcessId, sizeof(LVITEMW));
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(&item, sizeof(item));
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.Address()));
}

HWND CProgram::WaitForOtherWindow(DWORD milliseconds) const {
    struct Search {
        DWORD processId;
        HWND main;
        HWND found;
    } search = {m_process.dwProcessId, m_window, nullptr};
    WaitUntil(milliseconds, [&] {
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == s->processId && window != s->main && IsWindowVisible(window)) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<HWND> Descendants(HWND window) {
    std::vector<HWND> found;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindDescendant(HWND window, const wchar_t* className, const std::wstring* text) {
    for (HWND child : Descendants(window)) {
        if (_wcsicmp(ClassOf(child).c_str(), className) == 0 && IsWindowVisible(child) &&
            (text == nullptr || WindowText(child) == *text)) {
            return child;
        }
    }
    return nullptr;
}

std::wstring MessageBoxText(HWND box) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    return text;
}

std::wstring& ProgramPath() {
    static std::wstring path;
    return path;
}

std::wstring& ScreenshotFolder() {
    static std::wstring folder;
    return folder;
}

void Settle(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

std::string Contents(const std::wstring& path) {
    std::string text;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file != nullptr) {
        char buffer[4096];
        size_t read = 0;
        while ((read = fread(buffer, 1, sizeof(buffer), file)) > 0) {
            text.append(buffer, read);
        }
        fclose(file);
    }
    return text;
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = (width * 3 + 3) & ~3;
    const DWORD imageSize = stride * height;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + imageSize;
    bool written = false;
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (out != nullptr) {
        written = fwrite(&file, sizeof(file), 1, out) == 1 &&
                  fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                  fwrite(bits, imageSize, 1, out) == 1;
        fclose(out);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

}  // namespace qmz::gui
