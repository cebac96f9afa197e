#include "shellext/win/qmz4_rbmenu.h"

#include "shellext/model/shellext_string_ids.h"

namespace qmz {

HRESULT CQMZ4rbmenu::Create(void*, IUnknown* outer, REFIID iid, void** object) {
    return CreateHandler<CQMZ4rbmenu>(outer, iid, object);
}

CQMZ4rbmenu::CQMZ4rbmenu() : CHandlerBase(kRecycleBinMenuInterfaceId) {}

HRESULT CQMZ4rbmenu::Initialize(PCIDLIST_ABSOLUTE, IDataObject*, HKEY) {
    return Guarded([&] {
        m_texts = LoadHandlerTexts();
        m_commandText = CQMZ4shellextApp::Instance().Text(IDS_SHELLEXT_ERASE_RECYCLE_BIN);
        return S_OK;
    });
}

HRESULT CQMZ4rbmenu::QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT, UINT flags) {
    if ((flags & CMF_DEFAULTONLY) != 0) {
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    }
    if (!InsertMenuW(menu, index, MF_BYPOSITION | MF_STRING, firstId, m_commandText.c_str())) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 1);
}

HRESULT CQMZ4rbmenu::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    if (info == nullptr) {
        return E_INVALIDARG;
    }
    return Guarded([&] {
        // The one command, by number or by its own text (as another program names it).
        const auto verb = VerbNumber(reinterpret_cast<ULONG_PTR>(info->lpVerb));
        if (verb ? *verb != 0 : VerbText(info->lpVerb) != m_commandText) {
            return E_INVALIDARG;
        }
        CallMainProgram(info->hwnd, m_texts, kDoRecycleBin, nullptr);
        return S_OK;
    });
}

HRESULT CQMZ4rbmenu::GetCommandString(UINT_PTR command, UINT flags, UINT*, LPSTR name, UINT chars) {
    const CommandTextForm form = CommandTextFormOf(flags);
    if (form == CommandTextForm::kRefused || command != 0) {
        return E_INVALIDARG;
    }
    return CopyCommandText(m_commandText, form, name, chars);
}

}  // namespace qmz
