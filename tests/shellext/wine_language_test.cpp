// The language setting picks the texts: a language library beside the DLL replaces them,
// a missing one leaves the DLL's own. Each case loads the DLL afresh, as a new Explorer
// process would, so this suite runs in a process of its own.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

#include "com/dispatch_call.h"
#include "registration/com_ids.h"
#include "tests/com/com_fixture.h"
#include "tests/shellext/shell_host.h"

namespace qmz::shx {
namespace {

// The Recycle Bin command's text with `language` set, from a freshly loaded DLL.
std::wstring CommandTextWithLanguage(DWORD language) {
    comtest::SetSetting(L"Language", language);
    HMODULE dll = LoadLibraryW(DllPath().c_str());
    if (dll == nullptr) {
        return L"<not loaded>";
    }
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    std::wstring text = L"<no handler>";
    {
        CComPtr<IClassFactory> factory;
        CComPtr<IContextMenu> handler;
        CComPtr<IShellExtInit> init;
        if (getClassObject != nullptr &&
            SUCCEEDED(getClassObject(GuidFromText(kRecycleBinMenuClassId), IID_IClassFactory,
                                     factory.ReceiveVoid())) &&
            SUCCEEDED(factory->CreateInstance(nullptr, IID_IContextMenu, handler.ReceiveVoid())) &&
            SUCCEEDED(handler->QueryInterface(IID_IShellExtInit, init.ReceiveVoid())) &&
            SUCCEEDED(init->Initialize(nullptr, nullptr, nullptr))) {
            CHostMenu menu;
            menu.Fill(handler.Get());
            text = menu.Items().empty() ? L"<empty menu>" : menu.Items()[0].text;
        }
    }
    FreeLibrary(dll);
    return text;
}

TEST(ShellextLanguage, ALanguageLibraryBesideTheDllReplacesItsTexts) {
    comtest::CComSession com;
    EXPECT_EQ(CommandTextWithLanguage(1033), L"Erase the Recycle Bin with Nulvane");
    EXPECT_EQ(CommandTextWithLanguage(2052), L"ヌルベインでごみ箱の中身を消去") << "no CHS library";
    EXPECT_EQ(CommandTextWithLanguage(0), L"ヌルベインでごみ箱の中身を消去");
    comtest::ResetSettings();
}

}  // namespace
}  // namespace qmz::shx
