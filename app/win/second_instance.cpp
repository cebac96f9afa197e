#include "app/win/second_instance.h"

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <oleauto.h>

#include <new>

#include "com/com_ptr.h"
#include "com/dispatch_call.h"
#include "registration/com_ids.h"
#include "ui/win/resource_texts.h"

namespace qmz {
namespace {

// Only a test that something answers there; the call goes through a new object.
bool InstanceIsRunning() {
    CComPtr<IUnknown> active;
    if (FAILED(GetActiveObject(GuidFromText(kMainAutoClassId), nullptr, active.Receive()))) {
        return false;
    }
    CComPtr<IDispatch> dispatch;
    return SUCCEEDED(active->QueryInterface(IID_IDispatch, dispatch.ReceiveVoid()));
}

}  // namespace

bool ForwardToRunningInstance(const std::wstring& commandLine,
                              const std::wstring& errorMessagePrefix,
                              const std::wstring& applicationTitle) {
    if (!InstanceIsRunning()) {
        return false;
    }
    CComPtr<IDispatch> mainAuto;
    if (FAILED(CreateMainAutoDispatch(mainAuto.Receive()))) {
        ShowInternalError(nullptr, errorMessagePrefix, applicationTitle,
                          L"CreateDispatch() of main auto failed");
        return false;
    }
    // The running instance comes to the front for this request.
    AllowSetForegroundWindow(ASFW_ANY);
    try {
        std::wstring errorText;
        if (FAILED(
                CallDispatchMethod(mainAuto.Get(), kDoFilesAndFolders, &commandLine, &errorText))) {
            ShowInternalError(nullptr, errorMessagePrefix, applicationTitle, errorText);
        }
    } catch (const std::bad_alloc&) {
        ShowInternalError(nullptr, errorMessagePrefix, applicationTitle,
                          L"CreateDispatch() got an unexpected exception");
    }
    return true;
}

}  // namespace qmz
