// The file-and-folder pickers and the drop target under Wine, on real files in the
// scratch drive: the pickers driven from a second thread as a user would (select the
// items in the view, press the select button, or cancel), the drop target fed with data
// objects made by the shell and with malformed or foreign ones.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "resources/string_ids.h"
#include "tests/gui/program_driver.h"
#include "ui/model/picker_selection.h"
#include "com/com_ptr.h"
#include "ui/win/drop_target.h"
#include "ui/win/file_picker.h"
#include "ui/win/resource_texts.h"
#include "ui/win/win_handles.h"

namespace qmz::gui {
namespace {

std::wstring g_exePath;

constexpr wchar_t kFolder[] = L"D:\\picker_drop";
const std::vector<std::wstring> kItems = {L"alpha.txt", L"beta.txt", L"gamma"};
constexpr DWORD kPollMilliseconds = 50;
constexpr int kPatience = 300;  // polls before a step counts as failed (15 s)

std::wstring InFolder(const std::wstring& name) {
    return std::wstring(kFolder) + L"\\" + name;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> values) {
    std::sort(values.begin(), values.end());
    return values;
}

std::wstring Joined(const std::vector<std::wstring>& lines) {
    std::wstring all;
    for (const std::wstring& line : lines) {
        all += line + L"\n";
    }
    return all;
}

std::string Narrow(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), size, nullptr, nullptr);
    narrow.resize(std::strlen(narrow.c_str()));
    return narrow;
}

// Visible top-level dialogs of this process with the given title.
std::vector<HWND> DialogsTitled(const std::wstring& title) {
    struct Search {
        const std::wstring* title;
        std::vector<HWND> found;
    } search{&title, {}};
    EnumWindows(
        [](HWND window, LPARAM param) {
            auto* search = reinterpret_cast<Search*>(param);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
                ClassOf(window) == L"#32770" && WindowText(window) == *search->title) {
                search->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The names between double quotes, in order.
std::vector<std::wstring> QuotedNames(const std::wstring& text) {
    std::vector<std::wstring> names;
    std::size_t open = text.find(L'"');
    while (open != std::wstring::npos) {
        const std::size_t close = text.find(L'"', open + 1);
        if (close == std::wstring::npos) {
            break;
        }
        names.push_back(text.substr(open + 1, close - open - 1));
        open = text.find(L'"', close + 1);
    }
    return names;
}

// What a driver saw and what went wrong on its side.
struct DriveReport {
    std::vector<std::wstring> problems;
    std::wstring namesText;  // the names box once the selection was made
};

// Plays the user of a picker from a second thread while the test's thread runs it.
class CPickerUser {
public:
    explicit CPickerUser(std::wstring title) : m_title(std::move(title)) {}

    void Start(bool confirm, std::wstring buttonLabel) {
        m_thread = std::thread([this, confirm, buttonLabel] {
            const HWND picker = WaitForPicker();
            if (picker != nullptr) {
                if (confirm) {
                    SelectAllAndConfirm(picker, buttonLabel);
                } else {
                    PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
                }
            }
            WatchUntilReturned();
        });
    }
    // Called by the test's thread once the picker's Run has returned.
    DriveReport Finish() {
        m_returned = true;
        m_thread.join();
        return m_report;
    }

private:
    // The picker is the dialog with a view; any other dialog with its title is a message.
    HWND WaitForPicker() {
        for (int i = 0; i < kPatience && !m_returned; ++i) {
            for (HWND dialog : DialogsTitled(m_title)) {
                if (FindDescendant(dialog, WC_LISTVIEWW) != nullptr) {
                    return dialog;
                }
            }
            Sleep(kPollMilliseconds);
        }
        m_report.problems.push_back(L"no picker appeared");
        return nullptr;
    }

    void SelectAllAndConfirm(HWND picker, const std::wstring& buttonLabel) {
        HWND list = nullptr;
        int count = 0;
        for (int i = 0; i < kPatience && count < static_cast<int>(kItems.size()); ++i) {
            list = FindDescendant(picker, WC_LISTVIEWW);
            count =
                list != nullptr ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
            Sleep(kPollMilliseconds);
        }
        if (count != static_cast<int>(kItems.size())) {
            m_report.problems.push_back(L"the view shows " + std::to_wstring(count) + L" items");
            PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        // One item after the other, as with Ctrl and the mouse.
        for (int item = 0; item < count; ++item) {
            LVITEMW state = {};
            state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            state.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                         reinterpret_cast<LPARAM>(&state));
        }
        m_report.namesText = WaitForNamesBox(picker);
        const HWND button = FindDescendant(picker, WC_BUTTONW, &buttonLabel);
        if (button == nullptr) {
            m_report.problems.push_back(L"no visible select button");
            PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        SendMessageW(button, BM_CLICK, 0, 0);
    }

    // The visible edit box that lists exactly the three items.
    std::wstring WaitForNamesBox(HWND picker) {
        for (int i = 0; i < kPatience; ++i) {
            for (HWND child : Descendants(picker)) {
                if (_wcsicmp(ClassOf(child).c_str(), WC_EDITW) != 0 || !IsWindowVisible(child)) {
                    continue;
                }
                const std::wstring text = WindowText(child);
                if (Sorted(QuotedNames(text)) == Sorted(kItems)) {
                    return text;
                }
            }
            Sleep(kPollMilliseconds);
        }
        m_report.problems.push_back(L"the names box never listed the three items");
        return std::wstring();
    }

    // Any message box with the picker's title is a failure: note its text and close it, so
    // that the run can return.
    void WatchUntilReturned() {
        for (int i = 0; i < kPatience && !m_returned; ++i) {
            for (HWND dialog : DialogsTitled(m_title)) {
                // The picker itself, even while it hides its view on the way out.
                const std::vector<HWND> children = Descendants(dialog);
                if (std::any_of(children.begin(), children.end(), [](HWND child) {
                        return _wcsicmp(ClassOf(child).c_str(), WC_LISTVIEWW) == 0;
                    })) {
                    continue;
                }
                std::wstring text;
                for (HWND child : Descendants(dialog)) {
                    if (ClassOf(child) == WC_STATICW) {
                        text += WindowText(child);
                    }
                }
                m_report.problems.push_back(L"message: " + text);
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            }
            Sleep(kPollMilliseconds);
        }
        if (!m_returned) {
            m_report.problems.push_back(L"the picker did not return");
            for (HWND dialog : DialogsTitled(m_title)) {
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        }
    }

    std::wstring m_title;
    std::thread m_thread;
    std::atomic<bool> m_returned{false};
    DriveReport m_report;
};

// Two files and a folder in the scratch drive, made anew for each test.
class PickerDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveItems();
        ASSERT_TRUE(CreateDirectoryW(kFolder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        for (const std::wstring& name : kItems) {
            const std::wstring path = InFolder(name);
            if (name.find(L'.') == std::wstring::npos) {
                ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
            } else {
                HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
                ASSERT_NE(file, INVALID_HANDLE_VALUE);
                CloseHandle(file);
            }
        }
        m_resources = LoadLibraryExW(g_exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_resources, nullptr);
    }
    void TearDown() override {
        if (m_resources != nullptr) {
            FreeLibrary(m_resources);
        }
        RemoveItems();
    }

    static void RemoveItems() {
        for (const std::wstring& name : kItems) {
            const std::wstring path = InFolder(name);
            DeleteFileW(path.c_str());
            RemoveDirectoryW(path.c_str());
        }
        RemoveDirectoryW(kFolder);
    }

    PickerSetup Setup() const {
        PickerSetup setup;
        setup.resources = m_resources;
        setup.title = L"picker test";
        setup.buttonLabel = LoadResourceString(m_resources, IDS_PICKER_SELECT);
        setup.filter = LoadResourceString(m_resources, IDS_ALL_FILES_FILTER);
        setup.errorMessagePrefix = L"internal error: ";
        return setup;
    }

    // One run confirmed with the three items selected, then one cancelled, on one picker.
    void ConfirmThenCancel(DWORD majorVersion) {
        const PickerSetup setup = Setup();
        ASSERT_EQ(setup.buttonLabel, L"選択");
        std::unique_ptr<IFilePicker> picker = CreateFilePicker(majorVersion, setup);

        PickerResult result;
        CPickerUser user(setup.title);
        user.Start(true, setup.buttonLabel);
        const bool confirmed = picker->Run(nullptr, kFolder, &result);
        const DriveReport report = user.Finish();
        EXPECT_TRUE(report.problems.empty()) << Narrow(Joined(report.problems));
        ASSERT_TRUE(confirmed);
        EXPECT_EQ(result.folder, kFolder);
        std::vector<std::wstring> expected;
        for (const std::wstring& name : kItems) {
            expected.push_back(InFolder(name));
        }
        EXPECT_EQ(Sorted(result.paths), expected);
        // The paths come in the order the names box listed them.
        CPickerSelection shown;
        for (const std::wstring& path : result.paths) {
            shown.Add(path);
        }
        EXPECT_EQ(report.namesText, shown.EditText());

        PickerResult cancelled;
        cancelled.paths.push_back(L"stale");
        EXPECT_FALSE(RunCancelled(picker.get(), kFolder, &cancelled));
        EXPECT_TRUE(cancelled.paths.empty());
    }

    // Runs the picker and cancels it; fails the test on any message box.
    bool RunCancelled(IFilePicker* picker, const std::wstring& startFolder, PickerResult* result) {
        const std::wstring title = Setup().title;
        CPickerUser canceller(title);
        canceller.Start(false, std::wstring());
        const bool confirmed = picker->Run(nullptr, startFolder, result);
        const DriveReport report = canceller.Finish();
        EXPECT_TRUE(report.problems.empty()) << Narrow(Joined(report.problems));
        return confirmed;
    }

    HMODULE m_resources = nullptr;
};

TEST_F(PickerDropTest, TheModernPickerReturnsTheSelectedFilesAndFolderAndCancels) {
    ConfirmThenCancel(10);

    // Without its start folder the dialog opens in a folder of its own and names it.
    std::unique_ptr<IFilePicker> picker = CreateFilePicker(10, Setup());
    PickerResult result;
    const std::wstring missing = InFolder(L"missing");
    EXPECT_FALSE(RunCancelled(picker.get(), missing, &result));
    EXPECT_FALSE(result.folder.empty());
    EXPECT_NE(result.folder, missing);
}

TEST_F(PickerDropTest, TheClassicPickerReturnsTheSelectedFilesAndFolderAndCancels) {
    ConfirmThenCancel(5);
}

// A minimal data object offering one format in global memory.
class CBlockDataObject final : public IDataObject {
public:
    CBlockDataObject(CLIPFORMAT format, std::vector<uint8_t> block)
        : m_format(format), m_block(std::move(block)) {}

    IFACEMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack.
    IFACEMETHODIMP_(ULONG) AddRef() override { return 2; }
    IFACEMETHODIMP_(ULONG) Release() override { return 1; }

    IFACEMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) {
            return DV_E_FORMATETC;
        }
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, m_block.size());
        if (memory == nullptr) {
            return E_OUTOFMEMORY;
        }
        std::memcpy(GlobalLock(memory), m_block.data(), m_block.size());
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    IFACEMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    IFACEMETHODIMP QueryGetData(FORMATETC* format) override {
        return format->cfFormat == m_format && (format->tymed & TYMED_HGLOBAL) != 0
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    IFACEMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    IFACEMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    IFACEMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    IFACEMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    IFACEMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    CLIPFORMAT m_format;
    std::vector<uint8_t> m_block;
};

std::vector<uint8_t> Uint32s(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> bytes(values.size() * sizeof(uint32_t));
    std::memcpy(bytes.data(), values.begin(), bytes.size());
    return bytes;
}

// The shell's data object for the items of the scratch folder, as Explorer drags them.
bool ShellDataObject(HWND window, CComPtr<IDataObject>* data) {
    CComPtr<IShellFolder> desktop;
    CComPtr<IShellFolder> folder;
    PIDLIST_RELATIVE folderList = nullptr;
    if (FAILED(SHGetDesktopFolder(desktop.Receive())) ||
        FAILED(desktop->ParseDisplayName(window, nullptr, const_cast<wchar_t*>(kFolder), nullptr,
                                         &folderList, nullptr))) {
        return false;
    }
    const HRESULT bound =
        desktop->BindToObject(folderList, nullptr, IID_IShellFolder, folder.ReceiveVoid());
    CoTaskMemFree(folderList);
    if (FAILED(bound)) {
        return false;
    }
    std::vector<PCUITEMID_CHILD> items;
    for (const std::wstring& name : kItems) {
        PIDLIST_RELATIVE item = nullptr;
        if (SUCCEEDED(folder->ParseDisplayName(window, nullptr, const_cast<wchar_t*>(name.c_str()),
                                               nullptr, &item, nullptr))) {
            items.push_back(item);
        }
    }
    const bool made =
        items.size() == kItems.size() &&
        SUCCEEDED(folder->GetUIObjectOf(window, static_cast<UINT>(items.size()), items.data(),
                                        IID_IDataObject, nullptr, data->ReceiveVoid()));
    for (PCUITEMID_CHILD item : items) {
        CoTaskMemFree(const_cast<ITEMID_CHILD*>(item));
    }
    return made && *data;
}

TEST_F(PickerDropTest, TheDropTargetTakesShellItemsAndRefusesOtherData) {
    CWindow window(CreateWindowExW(0, WC_STATICW, L"drop here", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                   nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    std::vector<std::wstring> dropped;
    std::vector<std::wstring> errors;
    CQMZ4DropTarget target([&](const std::wstring& list) { dropped.push_back(list); },
                           [&](const std::wstring& detail) { errors.push_back(detail); });
    ASSERT_TRUE(target.Register(window.Get()));
    auto* registered = static_cast<IDropTarget*>(GetPropW(window.Get(), L"OleDropTargetInterface"));
    ASSERT_NE(registered, nullptr);

    // Two files and a folder from the shell: a link is offered, the paths come in order.
    CComPtr<IDataObject> shellItems;
    ASSERT_TRUE(ShellDataObject(window.Get(), &shellItems));
    const POINTL point = {10, 10};
    const DWORD offered = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    DWORD effect = offered;
    EXPECT_EQ(registered->DragEnter(shellItems.Get(), MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    effect = offered;
    EXPECT_EQ(registered->DragOver(MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    effect = offered;
    EXPECT_EQ(registered->Drop(shellItems.Get(), 0, point, &effect), S_OK);
    ASSERT_EQ(dropped.size(), 1u);
    std::wstring expected;
    for (const std::wstring& name : kItems) {
        expected += L"\"" + InFolder(name) + L"\" ";
    }
    EXPECT_EQ(dropped[0], expected);
    EXPECT_TRUE(errors.empty()) << Narrow(Joined(errors));

    // Text is not accepted.
    const std::wstring text = L"D:\\picker_drop\\alpha.txt";
    std::vector<uint8_t> textBytes((text.size() + 1) * sizeof(wchar_t));
    std::memcpy(textBytes.data(), text.c_str(), textBytes.size());
    CBlockDataObject plainText(CF_UNICODETEXT, textBytes);
    effect = offered;
    EXPECT_EQ(registered->DragEnter(&plainText, MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = offered;
    EXPECT_EQ(registered->DragOver(MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(registered->DragLeave(), S_OK);
    effect = offered;
    EXPECT_NE(registered->Drop(&plainText, 0, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));

    // Item arrays that point outside their block are refused without being followed.
    const auto idListFormat = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_SHELLIDLIST));
    CBlockDataObject hugeCount(idListFormat, Uint32s({0x7fffffff, 12, 12, 0}));
    CBlockDataObject offsetOutside(idListFormat, Uint32s({1, 12, 0x10000000, 0}));
    for (CBlockDataObject* malformed : {&hugeCount, &offsetOutside}) {
        effect = offered;
        EXPECT_NE(registered->Drop(malformed, 0, point, &effect), S_OK);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    }
    EXPECT_EQ(dropped.size(), 1u);
    EXPECT_EQ(errors.size(), 3u);
}

}  // namespace
}  // namespace qmz::gui

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fwprintf(stderr, L"usage: picker_drop_tests QMZ4.exe\n");
        return 2;
    }
    qmz::gui::g_exePath = argv[1];
    // The pickers and the drop target need OLE in this (the test's) thread.
    if (FAILED(OleInitialize(nullptr))) {
        fwprintf(stderr, L"OleInitialize failed\n");
        return 2;
    }
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
