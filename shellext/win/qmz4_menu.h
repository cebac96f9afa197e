// The context-menu handler for files, folders, shortcuts and drives: up to three erase
// commands, chosen by what is selected, carried out by the main program.
#pragma once

#include "shellext/model/menu_model.h"
#include "shellext/win/command_support.h"
#include "shellext/win/handler_base.h"
#include "shellext/win/win32_drive_queries.h"

namespace qmz {

class CQMZ4menu final : public CHandlerBase<IQMZ4menu> {
public:
    // The class factory's creation function.
    static HRESULT Create(void* app, IUnknown* outer, REFIID iid, void** object);
    CQMZ4menu();

    using CHandlerBase::Initialize;
    using CHandlerBase::InvokeCommand;
    HRESULT STDMETHODCALLTYPE Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data,
                                         HKEY programKey) override;
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId,
                                               UINT flags) override;
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR command, UINT flags, UINT* reserved,
                                               LPSTR name, UINT chars) override;

private:
    CWin32DriveQueries m_drives;
    CMenuModel m_model{&m_drives};
    HandlerTexts m_texts;
    std::wstring m_commandTexts[3];  // by MenuCommand
};

}  // namespace qmz
