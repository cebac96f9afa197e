#include "shellext/win/qmz4_menu.h"

#include "platform/win32/win32_registry.h"
#include "shellext/model/shellext_settings.h"
#include "shellext/model/shellext_string_ids.h"
#include "shellext/win/selection_paths.h"

namespace qmz {

HRESULT CQMZ4menu::Create(void*, IUnknown* outer, REFIID iid, void** object) {
    return CreateHandler<CQMZ4menu>(outer, iid, object);
}

CQMZ4menu::CQMZ4menu() : CHandlerBase(kMenuInterfaceId) {}

HRESULT CQMZ4menu::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
    return Guarded([&] {
        const CQMZ4shellextApp& app = CQMZ4shellextApp::Instance();
        m_texts = LoadHandlerTexts();
        m_commandTexts[CommandErase] = app.Text(IDS_SHELLEXT_ERASE);
        m_commandTexts[CommandEraseFreeSpace] = app.Text(IDS_SHELLEXT_ERASE_FREE_SPACE);
        m_commandTexts[CommandEraseDrive] = app.Text(IDS_SHELLEXT_ERASE_DRIVE);
        CWin32Registry registry;
        const bool includeNetworkDrives =
            ReadShellextSetting(&registry, L"IncludeNetworkDrives") != 0;
        std::vector<std::wstring> paths;
        if (!ReadSelectionPaths(data, &paths)) {
            paths.clear();
        }
        return m_model.Collect(paths, includeNetworkDrives) ? S_OK : E_INVALIDARG;
    });
}

HRESULT CQMZ4menu::QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT, UINT flags) {
    if ((flags & CMF_DEFAULTONLY) != 0) {
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    }
    return Guarded([&] {
        UINT used = 0;
        for (MenuCommand command : m_model.BuildMenu()) {
            if (InsertMenuW(menu, index, MF_BYPOSITION | MF_STRING, firstId + command,
                            m_commandTexts[command].c_str())) {
                ++index;
                used = command + 1;
            }
        }
        return used > 0 ? MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, used) : E_INVALIDARG;
    });
}

HRESULT CQMZ4menu::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    if (info == nullptr) {
        return E_INVALIDARG;
    }
    const auto verb = VerbNumber(reinterpret_cast<ULONG_PTR>(info->lpVerb));
    if (!verb || *verb > CommandEraseDrive) {
        return E_INVALIDARG;
    }
    return Guarded([&] {
        static constexpr DISPID kMethods[] = {kDoFilesAndFolders, kDoFreeSpace,
                                              kDoEntirePartitions};
        const std::wstring pathList = m_model.PathList(static_cast<MenuCommand>(*verb));
        CallMainProgram(info->hwnd, m_texts, kMethods[*verb], &pathList);
        return S_OK;
    });
}

HRESULT CQMZ4menu::GetCommandString(UINT_PTR command, UINT flags, UINT*, LPSTR name, UINT chars) {
    const CommandTextForm form = CommandTextFormOf(flags);
    if (form == CommandTextForm::kRefused || command > CommandEraseDrive) {
        return E_INVALIDARG;
    }
    return CopyCommandText(m_commandTexts[command], form, name, chars);
}

}  // namespace qmz
