#include "app/win/active_object.h"

#include <ole2.h>
#include <oleauto.h>

#include <new>

#include "com/dispatch_call.h"
#include "registration/com_ids.h"
#include "ui/win/resource_texts.h"

namespace qmz {
namespace {

// What the table holds for the main window: an automation object without members. A
// second start only asks it for IDispatch, to know that a program is really there.
class CMainWindowObject final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_references));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) {
            *info = nullptr;
        }
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID,
                                            DISPID* ids) override {
        for (UINT i = 0; ids != nullptr && i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
        }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    LONG m_references = 1;
};

}  // namespace

CActiveObjectRegistration::CActiveObjectRegistration(std::wstring errorMessagePrefix,
                                                     std::wstring applicationTitle)
    : m_errorMessagePrefix(std::move(errorMessagePrefix)),
      m_applicationTitle(std::move(applicationTitle)) {}

CActiveObjectRegistration::~CActiveObjectRegistration() {
    if (m_cookie != 0) {
        RevokeActiveObject(m_cookie, nullptr);
    }
}

void CActiveObjectRegistration::Register() {
    m_unknown.Attach(new (std::nothrow) CMainWindowObject());
    if (!m_unknown) {
        ShowError(L"GetInterface() failed");
        return;
    }
    if (FAILED(OleNoteObjectVisible(m_unknown.Get(), TRUE))) {
        ShowError(L"OleNoteObjectVisible() failed");
    }
    if (FAILED(RegisterActiveObject(m_unknown.Get(), GuidFromText(kMainAutoClassId),
                                    ACTIVEOBJECT_STRONG, &m_cookie))) {
        m_cookie = 0;
        ShowError(L"RegisterActiveObject() failed");
    }
}

void CActiveObjectRegistration::Revoke() {
    if (m_cookie == 0) {
        return;
    }
    const DWORD cookie = m_cookie;
    m_cookie = 0;
    if (FAILED(RevokeActiveObject(cookie, nullptr))) {
        ShowError(L"RevokeActiveObject() failed");
    }
}

void CActiveObjectRegistration::NoteInvisible() {
    if (!m_unknown) {
        return;
    }
    if (FAILED(OleNoteObjectVisible(m_unknown.Get(), FALSE))) {
        ShowError(L"OleNoteObjectVisible() failed");
    }
    m_unknown.Reset();
}

void CActiveObjectRegistration::ShowError(const wchar_t* detail) const {
    ShowInternalError(nullptr, m_errorMessagePrefix, m_applicationTitle, detail);
}

}  // namespace qmz
