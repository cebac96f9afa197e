#include "ui/win/qmz4_settings.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "platform/win32/unique_handle.h"
#include "registration/com_ids.h"
#include "resources/string_ids.h"
#include "ui/resource_ids.h"
#include "ui/win/log_viewer.h"
#include "ui/win/resource_texts.h"

namespace qmz {
namespace {

constexpr DWORD kPickerFlags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
constexpr size_t kPickerFileChars = 32768;
constexpr int kMethodRowsShown = 18;

// The plain check boxes and the setting each one mirrors.
constexpr std::pair<int, SettingsCheck> kCheckBoxes[] = {
    {IDC_AUTORUN, SettingsCheck::kAutorun},
    {IDC_INCLUDE_SUPER_HIDDEN, SettingsCheck::kIncludeSuperHidden},
    {IDC_LOGGING, SettingsCheck::kLogging},
    {IDC_ENABLE_SHELL_EXTENSION, SettingsCheck::kEnableShellExtension},
    {IDC_ALL_USERS_RECYCLE_BIN, SettingsCheck::kAllUsersRecycleBin},
    {IDC_INCLUDE_NETWORK_DRIVES, SettingsCheck::kIncludeNetworkDrives},
};

bool Ticked(const SettingsDialogView& view, SettingsCheck check) {
    switch (check) {
        case SettingsCheck::kAutorun:
            return view.autorun;
        case SettingsCheck::kIncludeSuperHidden:
            return view.includeSuperHidden;
        case SettingsCheck::kLogging:
            return view.logging;
        case SettingsCheck::kEnableShellExtension:
            return view.enableShellExtension;
        case SettingsCheck::kAllUsersRecycleBin:
            return view.allUsersRecycleBin;
        case SettingsCheck::kIncludeNetworkDrives:
            return view.includeNetworkDrives;
    }
    return false;
}

// Sets a flag for the length of a scope and puts its previous value back.
class CFlagScope {
public:
    explicit CFlagScope(bool* flag) : m_flag(flag), m_previous(std::exchange(*flag, true)) {}
    ~CFlagScope() { *m_flag = m_previous; }
    CFlagScope(const CFlagScope&) = delete;
    CFlagScope& operator=(const CFlagScope&) = delete;

private:
    bool* m_flag;
    bool m_previous;
};

// Whether this user may change the machine's class registrations, which the context-menu
// box registers or removes.
bool CanWriteMachineClasses() {
    const std::wstring path = std::wstring(L"SOFTWARE\\Classes\\CLSID\\") + kMainAutoClassId;
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_WRITE, &key);
    const CRegistryKeyHandle opened(result == ERROR_SUCCESS ? key : nullptr);
    return static_cast<bool>(opened);
}

}  // namespace

CQMZ4Settings::CQMZ4Settings(HMODULE resources) : m_resources(resources) {
    // The hidden start-time picker is a date-time control, which the program's own
    // common-control set-up does not register.
    INITCOMMONCONTROLSEX controls = {static_cast<DWORD>(sizeof(controls)), ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
}

bool CQMZ4Settings::Run(HWND owner, const SettingsDialogInputs& in, SettingsDialogResult* out) {
    if (!m_pickerReady) {
        m_pickerFilter = in.logFilter;
        std::replace(m_pickerFilter.begin(), m_pickerFilter.end(), L'|', L'\0');
        m_pickerTitle = in.logPickerTitle;
        m_pickerFile.assign(kPickerFileChars, L'\0');
        m_picker.lStructSize = sizeof(m_picker);
        m_picker.lpstrFilter = m_pickerFilter.c_str();
        m_picker.nFilterIndex = 1;
        m_picker.lpstrFile = m_pickerFile.data();
        m_picker.nMaxFile = static_cast<DWORD>(m_pickerFile.size());
        m_picker.lpstrTitle = m_pickerTitle.c_str();
        m_picker.lpstrDefExt = L"log";
        m_picker.Flags = kPickerFlags;
        m_pickerReady = true;
    }
    m_inputs = &in;
    m_model.Open(in.settings);
    const INT_PTR ended = DialogBoxParamW(m_resources, MAKEINTRESOURCEW(IDD_SETTINGS), owner,
                                          DialogProc, reinterpret_cast<LPARAM>(this));
    m_inputs = nullptr;
    m_dialog = nullptr;
    if (ended != IDOK) {
        return false;
    }
    *out = m_model.Result();
    return true;
}

INT_PTR CALLBACK CQMZ4Settings::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<CQMZ4Settings*>(lParam)->OnInitDialog(dialog);
        return TRUE;
    }
    auto* self = reinterpret_cast<CQMZ4Settings*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr || message != WM_COMMAND) {
        return FALSE;
    }
    self->OnCommand(LOWORD(wParam), HIWORD(wParam));
    return TRUE;
}

void CQMZ4Settings::OnInitDialog(HWND dialog) {
    m_dialog = dialog;
    const CFlagScope updating(&m_updatingControls);
    SetWindowTextW(dialog, m_inputs->title.c_str());
    FillLists();
    ShowView();
    // Without the right the box is greyed but still shows whether the menu is on.
    EnableWindow(GetDlgItem(dialog, IDC_ENABLE_SHELL_EXTENSION), CanWriteMachineClasses());
    ShowWindow(GetDlgItem(dialog, IDC_START_AT_TIME), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_START_TIME), SW_HIDE);
}

void CQMZ4Settings::FillLists() {
    for (int32_t number = 0; number < kMethodCount; ++number) {
        const MethodEntry& entry = MethodTable[number];
        // A modified copy carries its source's position but is never a row of its own.
        if (entry.ListPosition >= 0 && number != kModifiedMethodNumber) {
            SendDlgItemMessageW(m_dialog, IDC_METHOD_LIST, CB_INSERTSTRING,
                                static_cast<WPARAM>(entry.ListPosition),
                                reinterpret_cast<LPARAM>(entry.Name.c_str()));
        }
    }
    SendDlgItemMessageW(m_dialog, IDC_METHOD_LIST, CB_SETMINVISIBLE, kMethodRowsShown, 0);
    for (const uint32_t id : {IDS_LANGUAGE_DEFAULT, IDS_LANGUAGE_JAPANESE, IDS_LANGUAGE_ENGLISH,
                              IDS_LANGUAGE_CHINESE}) {
        const std::wstring text = LoadResourceString(m_resources, id);
        SendDlgItemMessageW(m_dialog, IDC_LANGUAGE_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void CQMZ4Settings::ShowView() {
    const CFlagScope updating(&m_updatingControls);
    const SettingsDialogView& view = m_model.View();
    SendDlgItemMessageW(m_dialog, IDC_METHOD_LIST, CB_SETCURSEL,
                        static_cast<WPARAM>(view.methodRow), 0);
    SetEditText(IDC_QUICK_VALUE, view.valueText);
    SetEditText(IDC_QUICK_COUNT, view.countText);
    EnableWindow(GetDlgItem(m_dialog, IDC_QUICK_VALUE), view.numberEditsEnabled);
    EnableWindow(GetDlgItem(m_dialog, IDC_QUICK_COUNT), view.numberEditsEnabled);
    CheckDlgButton(m_dialog, IDC_VERIFY, view.verifyTicked ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_dialog, IDC_VERIFY_ONE_PERCENT,
                   view.onePercentTicked ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(m_dialog, IDC_VERIFY), view.verifyBoxesEnabled);
    EnableWindow(GetDlgItem(m_dialog, IDC_VERIFY_ONE_PERCENT), view.verifyBoxesEnabled);
    for (const auto& [id, check] : kCheckBoxes) {
        CheckDlgButton(m_dialog, id, Ticked(view, check) ? BST_CHECKED : BST_UNCHECKED);
    }
    SetEditText(IDC_LOG_FILE, view.logFile);
    SendDlgItemMessageW(m_dialog, IDC_LANGUAGE_LIST, CB_SETCURSEL,
                        static_cast<WPARAM>(view.languageRow), 0);
}

void CQMZ4Settings::OnCommand(int id, int code) {
    if (m_updatingControls) {
        return;
    }
    switch (id) {
        case IDC_METHOD_LIST:
            if (code == CBN_SELCHANGE) {
                m_model.SelectMethod(static_cast<int32_t>(
                    SendDlgItemMessageW(m_dialog, IDC_METHOD_LIST, CB_GETCURSEL, 0, 0)));
                ShowView();
            }
            return;
        case IDC_LANGUAGE_LIST:
            if (code == CBN_SELCHANGE) {
                m_model.SelectLanguage(static_cast<int32_t>(
                    SendDlgItemMessageW(m_dialog, IDC_LANGUAGE_LIST, CB_GETCURSEL, 0, 0)));
                ShowView();
            }
            return;
        case IDC_QUICK_VALUE:
        case IDC_QUICK_COUNT:
            if (code == EN_CHANGE) {
                OnNumberEdit(id);
            }
            return;
        case IDC_LOG_FILE:
            if (code == EN_CHANGE) {
                OnLogFileEdit();
            }
            return;
        default:
            break;
    }
    if (code != BN_CLICKED) {
        return;
    }
    const bool ticked = IsDlgButtonChecked(m_dialog, id) == BST_CHECKED;
    switch (id) {
        case IDC_VERIFY:
            m_model.SetVerify(ticked);
            break;
        case IDC_VERIFY_ONE_PERCENT:
            m_model.SetOnePercentVerify(ticked);
            break;
        case IDC_LOG_CHOOSE:
            ChooseLogFile();
            break;
        case IDC_LOG_VIEW:
            ViewLogFile(m_dialog, m_inputs->title, m_model.Working().LogFile,
                        m_inputs->logDoesNotExist, m_inputs->logCannotShow);
            return;
        case IDC_LOG_ERASE:
            m_model.RequestLogErase();
            break;
        case IDOK:
            if (!m_model.NeedsLogFileCheck() || ConfirmLogFile()) {
                EndDialog(m_dialog, IDOK);
            }
            return;
        case IDCANCEL:
            EndDialog(m_dialog, IDCANCEL);
            return;
        default:
            for (const auto& [boxId, check] : kCheckBoxes) {
                if (boxId == id) {
                    m_model.SetCheck(check, ticked);
                }
            }
            break;
    }
    ShowView();
}

void CQMZ4Settings::OnNumberEdit(int id) {
    const std::wstring text = EditText(id);
    const size_t caret = Caret(id);
    const EditUpdate update =
        id == IDC_QUICK_VALUE ? m_model.EditValue(text, caret) : m_model.EditCount(text, caret);
    if (update.changed) {
        ShowView();
        PlaceCaret(id, update.caret);
    }
}

void CQMZ4Settings::OnLogFileEdit() {
    const EditUpdate update = m_model.EditLogFile(EditText(IDC_LOG_FILE), Caret(IDC_LOG_FILE));
    ShowView();
    if (update.changed) {
        PlaceCaret(IDC_LOG_FILE, update.caret);
    }
}

void CQMZ4Settings::ChooseLogFile() {
    std::fill(m_pickerFile.begin(), m_pickerFile.end(), L'\0');
    m_picker.hwndOwner = m_dialog;
    if (GetSaveFileNameW(&m_picker)) {
        m_model.ChooseLogFile(m_pickerFile.data());
    }
}

bool CQMZ4Settings::ConfirmLogFile() {
    const std::wstring path = m_model.Working().LogFile;
    // Opened as the log will be: appended to, created when missing, others may only read.
    const CScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
        return true;
    }
    const std::wstring text = path + m_inputs->logCannotWrite;
    MessageBoxW(m_dialog, text.c_str(), m_inputs->title.c_str(), MB_OK | MB_ICONERROR);
    m_model.LogFileUnwritable();
    ShowView();
    return false;
}

void CQMZ4Settings::SetEditText(int id, const std::wstring& text) {
    // Rewriting an unchanged text would move the caret the user is typing at.
    if (EditText(id) != text) {
        SetDlgItemTextW(m_dialog, id, text.c_str());
    }
}

void CQMZ4Settings::PlaceCaret(int id, size_t caret) {
    SendDlgItemMessageW(m_dialog, id, EM_SETSEL, caret, static_cast<LPARAM>(caret));
    SendDlgItemMessageW(m_dialog, id, EM_SCROLLCARET, 0, 0);
}

std::wstring CQMZ4Settings::EditText(int id) const {
    const HWND control = GetDlgItem(m_dialog, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

size_t CQMZ4Settings::Caret(int id) const {
    DWORD end = 0;
    SendDlgItemMessageW(m_dialog, id, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
    return end;
}

}  // namespace qmz
