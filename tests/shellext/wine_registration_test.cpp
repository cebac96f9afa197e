// The DLL as Windows sees it before any menu: what regsvr32 writes and removes, its type
// library, and its texts.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "com/dispatch_call.h"
#include "registration/com_ids.h"
#include "tests/shellext/shell_host.h"

namespace qmz::shx {
namespace {

constexpr wchar_t kApproved[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
constexpr wchar_t kForeignHandler[] = L"*\\ShellEx\\ContextMenuHandlers\\QmzTestOther";

// One registry entry: a value (name empty: the default value) or, with text kKey, a key.
constexpr wchar_t kKey[] = L"<key>";
struct Entry {
    HKEY root;
    std::wstring key;
    std::wstring name;
    std::wstring text;
};

// The value's text; kKey for an entry that names only a key; else "<no key>" or "<no value>".
std::wstring Read(const Entry& entry) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(entry.root, entry.key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return L"<no key>";
    }
    wchar_t text[1024] = {};
    DWORD type = 0;
    DWORD bytes = sizeof(text) - sizeof(wchar_t);
    const LONG error = RegQueryValueExW(key, entry.name.c_str(), nullptr, &type,
                                        reinterpret_cast<BYTE*>(text), &bytes);
    RegCloseKey(key);
    if (entry.text == kKey) {
        return kKey;
    }
    return error == ERROR_SUCCESS && type == REG_SZ ? std::wstring(text) : L"<no value>";
}

// Everything registration writes, exactly.
std::vector<Entry> RegisteredEntries() {
    const HKEY classes = HKEY_CLASSES_ROOT;
    std::vector<Entry> entries = {
        {classes, L"AppID\\" + std::wstring(kShellextAppId), L"", L"QMZ4shellext"},
        {classes, L"AppID\\QMZ4shellext.DLL", L"AppID", kShellextAppId},
        {classes, std::wstring(L"TypeLib\\") + kShellextLibraryId + L"\\1.0\\0\\win64", L"",
         DllPath()},
        {classes,
         std::wstring(L"CLSID\\") + kRecycleBinClassId +
             L"\\ShellEx\\ContextMenuHandlers\\QMZ4shellext",
         L"", kRecycleBinMenuClassId}};
    for (const wchar_t* handled : {L"*", L"Folder", L"lnkfile", L"Drive"}) {
        entries.push_back({classes,
                           std::wstring(handled) + L"\\ShellEx\\ContextMenuHandlers\\QMZ4shellext",
                           L"", kMenuClassId});
    }
    for (const auto& [name, classId] :
         {std::pair(L"QMZ4menu", kMenuClassId), std::pair(L"QMZ4rbmenu", kRecycleBinMenuClassId)}) {
        const std::wstring progId = std::wstring(L"QMZ4shellext.") + name;
        const std::wstring className = std::wstring(name) + L" Class";
        const std::wstring classKey = std::wstring(L"CLSID\\") + classId;
        entries.insert(
            entries.end(),
            {
                {classes, progId + L".1", L"", className},
                {classes, progId + L".1\\CLSID", L"", classId},
                {classes, progId, L"", className},
                {classes, progId + L"\\CLSID", L"", classId},
                {classes, progId + L"\\CurVer", L"", progId + L".1"},
                {classes, classKey, L"", className},
                {classes, classKey, L"AppID", kShellextAppId},
                {classes, classKey + L"\\ProgID", L"", progId + L".1"},
                {classes, classKey + L"\\VersionIndependentProgID", L"", progId},
                {classes, classKey + L"\\Programmable", L"", kKey},
                {classes, classKey + L"\\InprocServer32", L"", DllPath()},
                {classes, classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
                {classes, classKey + L"\\TypeLib", L"", kShellextLibraryId},
                {HKEY_LOCAL_MACHINE, kApproved, classId, L"QMZ4shellext"},
            });
    }
    return entries;
}

// Parents that registration may create but never deletes, and what others keep there.
std::vector<Entry> KeptEntries() {
    std::vector<Entry> entries = {
        {HKEY_CLASSES_ROOT, kForeignHandler, L"", L"{00000000-0000-0000-0000-000000000001}"},
        {HKEY_LOCAL_MACHINE, kApproved, L"QmzTestOther", L"other"},
        {HKEY_CLASSES_ROOT, L"CLSID", L"", kKey},
        {HKEY_CLASSES_ROOT, L"AppID", L"", kKey},
        {HKEY_CLASSES_ROOT,
         std::wstring(L"CLSID\\") + kRecycleBinClassId + L"\\ShellEx\\ContextMenuHandlers", L"",
         kKey}};
    for (const wchar_t* handled : {L"*", L"Folder", L"lnkfile", L"Drive"}) {
        entries.push_back({HKEY_CLASSES_ROOT,
                           std::wstring(handled) + L"\\ShellEx\\ContextMenuHandlers", L"", kKey});
    }
    return entries;
}

void Plant(const Entry& entry) {
    RegSetKeyValueW(entry.root, entry.key.c_str(), entry.name.c_str(), REG_SZ, entry.text.c_str(),
                    static_cast<DWORD>((entry.text.size() + 1) * sizeof(wchar_t)));
}

TEST(ShellextRegistration, Regsvr32WritesEveryEntryAndRemovesAllButTheKeptParents) {
    const std::vector<Entry> kept = KeptEntries();
    Plant(kept[0]);  // another program's handler and approval beside ours
    Plant(kept[1]);
    ASSERT_EQ(RunRegsvr32(false), 0u);
    for (const Entry& entry : RegisteredEntries()) {
        EXPECT_EQ(Read(entry), entry.text) << entry.key << " " << entry.name;
    }

    ASSERT_EQ(RunRegsvr32(true), 0u);
    for (const Entry& entry : RegisteredEntries()) {
        const std::wstring left = Read(entry);
        EXPECT_TRUE(left == L"<no key>" || left == L"<no value>")
            << "left behind: " << entry.key << " " << entry.name;
    }
    for (const Entry& entry : kept) {
        EXPECT_EQ(Read(entry), entry.text) << entry.key << " " << entry.name;
    }
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kForeignHandler);
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kApproved, L"QmzTestOther");
}

// The type library inside the DLL carries the ids the code uses, and each interface's
// methods in vtable order with DISPIDs 1 to 4; the texts are the source's, undamaged.
TEST(ShellextResources, TypeLibraryAndStringsAreTheSources) {
    CComPtr<ITypeLib> library;
    ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(DllPath().c_str(), REGKIND_NONE, library.Receive()));
    TLIBATTR* attributes = nullptr;
    ASSERT_HRESULT_SUCCEEDED(library->GetLibAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(attributes->guid, GuidFromText(kShellextLibraryId)));
    library->ReleaseTLibAttr(attributes);
    BSTR name = nullptr;
    library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr);
    EXPECT_STREQ(name, L"QMZ4shellextLib");
    SysFreeString(name);

    const wchar_t* expectedNames[] = {L"Initialize", L"GetCommandString", L"InvokeCommand",
                                      L"QueryContextMenu"};
    for (const wchar_t* classId : {kMenuClassId, kRecycleBinMenuClassId}) {
        CComPtr<ITypeInfo> coclass;
        ASSERT_HRESULT_SUCCEEDED(
            library->GetTypeInfoOfGuid(GuidFromText(classId), coclass.Receive()));
        // The class's default interface, as its vtable half.
        HREFTYPE reference = 0;
        CComPtr<ITypeInfo> dispatch;
        CComPtr<ITypeInfo> dual;
        ASSERT_HRESULT_SUCCEEDED(coclass->GetRefTypeOfImplType(0, &reference));
        ASSERT_HRESULT_SUCCEEDED(coclass->GetRefTypeInfo(reference, dispatch.Receive()));
        ASSERT_HRESULT_SUCCEEDED(dispatch->GetRefTypeOfImplType(-1, &reference));
        ASSERT_HRESULT_SUCCEEDED(dispatch->GetRefTypeInfo(reference, dual.Receive()));
        TYPEATTR* type = nullptr;
        ASSERT_HRESULT_SUCCEEDED(dual->GetTypeAttr(&type));
        EXPECT_TRUE(IsEqualGUID(
            type->guid,
            GuidFromText(classId == kMenuClassId ? kMenuInterfaceId : kRecycleBinMenuInterfaceId)));
        EXPECT_EQ(type->cFuncs, 4) << "the dual interface's own methods";
        for (UINT i = 0; i < type->cFuncs; ++i) {
            FUNCDESC* function = nullptr;
            ASSERT_HRESULT_SUCCEEDED(dual->GetFuncDesc(i, &function));
            EXPECT_EQ(function->memid, static_cast<MEMBERID>(i + 1));
            EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + i) * sizeof(void*)));
            // Wine returns no help strings from any type library, so only names are read.
            BSTR method = nullptr;
            dual->GetDocumentation(function->memid, &method, nullptr, nullptr, nullptr);
            EXPECT_STREQ(method, expectedNames[i]);
            SysFreeString(method);
            dual->ReleaseFuncDesc(function);
        }
        dual->ReleaseTypeAttr(type);
    }

    struct Text {
        UINT id;
        const wchar_t* text;
    };
#define STR(id, text) {id, L"" text},
    const Text texts[] = {
#include "resources/shellext_strings.inc"
    };
#undef STR
    HMODULE module = LoadLibraryExW(DllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    for (const Text& text : texts) {
        wchar_t loaded[512] = {};
        LoadStringW(module, text.id, loaded, 512);
        EXPECT_STREQ(loaded, text.text) << text.id;
    }
    FreeLibrary(module);
}

}  // namespace
}  // namespace qmz::shx
