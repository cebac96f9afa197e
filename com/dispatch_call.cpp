#include "com/dispatch_call.h"

#include <objbase.h>

#include "com/bstr.h"
#include "registration/com_ids.h"

namespace qmz {
namespace {

constexpr size_t kErrorTextLimit = 99;  // a 100-character buffer with its terminator

std::wstring SystemText(HRESULT result) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message;
    if (length != 0 && text != nullptr) {
        message.assign(text, length);
        while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) {
            message.pop_back();
        }
    }
    LocalFree(text);
    if (message.empty()) {
        wchar_t code[32];
        wsprintfW(code, L"0x%08lX", static_cast<unsigned long>(result));
        message = code;
    }
    return message;
}

}  // namespace

GUID GuidFromText(const wchar_t* text) {
    GUID guid = {};
    if (FAILED(CLSIDFromString(const_cast<LPOLESTR>(text), &guid))) {
        guid = GUID{};
    }
    return guid;
}

HRESULT CreateMainAutoDispatch(IDispatch** dispatch) {
    const GUID classId = GuidFromText(kMainAutoClassId);
    return CoCreateInstance(classId, nullptr, CLSCTX_SERVER, IID_IDispatch,
                            reinterpret_cast<void**>(dispatch));
}

HRESULT CallDispatchMethod(IDispatch* dispatch, DISPID id, const std::wstring* argument,
                           std::wstring* errorText) {
    const CBstr text(argument != nullptr ? *argument : std::wstring());
    VARIANTARG argumentVariant;
    VariantInit(&argumentVariant);
    DISPPARAMS parameters = {nullptr, nullptr, 0, 0};
    if (argument != nullptr) {
        if (text.Get() == nullptr) {
            *errorText = SystemText(E_OUTOFMEMORY).substr(0, kErrorTextLimit);
            return E_OUTOFMEMORY;
        }
        argumentVariant.vt = VT_BSTR;
        argumentVariant.bstrVal = text.Get();
        parameters.rgvarg = &argumentVariant;
        parameters.cArgs = 1;
    }
    EXCEPINFO exception = {};
    UINT argumentError = 0;
    const HRESULT result = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                            &parameters, nullptr, &exception, &argumentError);
    if (FAILED(result)) {
        std::wstring message;
        if (result == DISP_E_EXCEPTION) {
            if (exception.pfnDeferredFillIn != nullptr) {
                exception.pfnDeferredFillIn(&exception);
            }
            message = CBstr::ToString(exception.bstrDescription);
            if (message.empty()) {
                message = SystemText(exception.scode != 0 ? exception.scode : result);
            }
        } else {
            message = SystemText(result);
        }
        *errorText = message.substr(0, kErrorTextLimit);
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return result;
}

}  // namespace qmz
