#include "shellext/win/command_support.h"

#include "com/com_ptr.h"
#include "com/dispatch_call.h"
#include "shellext/model/shellext_string_ids.h"
#include "shellext/win/shellext_app.h"

namespace qmz {

HandlerTexts LoadHandlerTexts() {
    const CQMZ4shellextApp& app = CQMZ4shellextApp::Instance();
    return HandlerTexts{app.Text(IDS_SHELLEXT_TITLE), app.Text(IDS_SHELLEXT_ERROR_PREFIX)};
}

HRESULT CopyCommandText(const std::wstring& text, CommandTextForm form, LPSTR buffer, UINT chars) {
    if (buffer == nullptr || chars == 0) {
        return E_INVALIDARG;
    }
    if (form == CommandTextForm::kWide) {
        lstrcpynW(reinterpret_cast<LPWSTR>(buffer), text.c_str(), static_cast<int>(chars));
        return S_OK;
    }
    // The longest start of the text whose ANSI form fits, so that no double-byte character
    // is cut in half.
    int count = static_cast<int>(text.size());
    int bytes = 0;
    while (count > 0 &&
           (bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), count, nullptr, 0, nullptr,
                                        nullptr)) > static_cast<int>(chars) - 1) {
        --count;
    }
    bytes = count > 0 ? WideCharToMultiByte(CP_ACP, 0, text.data(), count, buffer,
                                            static_cast<int>(chars) - 1, nullptr, nullptr)
                      : 0;
    buffer[bytes] = '\0';
    return S_OK;
}

std::wstring VerbText(LPCSTR verb) {
    const int length = MultiByteToWideChar(CP_ACP, 0, verb, -1, nullptr, 0);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, verb, -1, text.data(), length);
    text.resize(static_cast<size_t>(length) - 1);
    return text;
}

void CallMainProgram(HWND owner, const HandlerTexts& texts, DISPID id,
                     const std::wstring* argument) {
    CComPtr<IDispatch> program;
    std::wstring failure;
    if (FAILED(CreateMainAutoDispatch(program.Receive()))) {
        failure = L"CreateDispatch() of main auto failed";
    } else if (SUCCEEDED(CallDispatchMethod(program.Get(), id, argument, &failure))) {
        return;
    }
    const std::wstring message = texts.errorPrefix + failure;
    MessageBoxW(owner, message.c_str(), texts.title.c_str(), MB_ICONERROR);
}

}  // namespace qmz
