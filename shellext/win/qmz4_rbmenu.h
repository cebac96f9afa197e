// The Recycle Bin's context-menu handler: one command that has the main program erase the
// Recycle Bin's contents.
#pragma once

#include "shellext/win/command_support.h"
#include "shellext/win/handler_base.h"

namespace qmz {

class CQMZ4rbmenu final : public CHandlerBase<IQMZ4rbmenu> {
public:
    // The class factory's creation function.
    static HRESULT Create(void* app, IUnknown* outer, REFIID iid, void** object);
    CQMZ4rbmenu();

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
    HandlerTexts m_texts;
    std::wstring m_commandText;
};

}  // namespace qmz
