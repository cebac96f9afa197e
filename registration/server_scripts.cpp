#include "registration/server_scripts.h"

#include "registration/com_ids.h"

namespace qmz {
namespace {

constexpr RegistryRoot kClasses = RegistryRoot::kClassesRoot;
const wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

ScriptKey Key(const std::wstring& path, KeyRule rule, std::vector<ScriptValue> values = {}) {
    return ScriptKey{kClasses, path, rule, std::move(values)};
}

ScriptValue Default(const std::wstring& text) {
    return ScriptValue{std::wstring(), text};
}

// "Name.1" and the version-independent "Name" with its CurVer, both naming the class.
void AddProgIds(RegistryScript* script, const std::wstring& progId, const std::wstring& className,
                const std::wstring& classId) {
    const std::wstring versioned = progId + L".1";
    script->push_back(Key(versioned, KeyRule::kOwned, {Default(className)}));
    script->push_back(Key(versioned + L"\\CLSID", KeyRule::kOwned, {Default(classId)}));
    script->push_back(Key(progId, KeyRule::kOwned, {Default(className)}));
    script->push_back(Key(progId + L"\\CLSID", KeyRule::kOwned, {Default(classId)}));
    script->push_back(Key(progId + L"\\CurVer", KeyRule::kOwned, {Default(versioned)}));
}

// CLSID\{class}, replaced whole, with everything an automation class carries but its
// server key, which the caller adds below the returned path.
std::wstring AddClassKey(RegistryScript* script, const std::wstring& progId,
                         const std::wstring& className, const std::wstring& classId,
                         const std::wstring& appId, const std::wstring& libraryId) {
    const std::wstring classKey = L"CLSID\\" + classId;
    script->push_back(Key(L"CLSID", KeyRule::kKept));
    script->push_back(
        Key(classKey, KeyRule::kReplaced, {Default(className), ScriptValue{L"AppID", appId}}));
    script->push_back(Key(classKey + L"\\ProgID", KeyRule::kOwned, {Default(progId + L".1")}));
    script->push_back(
        Key(classKey + L"\\VersionIndependentProgID", KeyRule::kOwned, {Default(progId)}));
    script->push_back(Key(classKey + L"\\Programmable", KeyRule::kReplaced));
    script->push_back(Key(classKey + L"\\TypeLib", KeyRule::kOwned, {Default(libraryId)}));
    return classKey;
}

RegistryScript HandlerScript(const std::wstring& dllPath, const std::wstring& progId,
                             const std::wstring& className, const std::wstring& classId,
                             const std::vector<std::wstring>& handledClasses) {
    RegistryScript script;
    AddProgIds(&script, progId, className, classId);
    const std::wstring classKey =
        AddClassKey(&script, progId, className, classId, kShellextAppId, kShellextLibraryId);
    script.push_back(Key(classKey + L"\\InprocServer32", KeyRule::kOwned,
                         {Default(dllPath), ScriptValue{L"ThreadingModel", L"Apartment"}}));
    for (const std::wstring& handled : handledClasses) {
        script.push_back(Key(handled, KeyRule::kKept));
        script.push_back(Key(handled + L"\\ShellEx", KeyRule::kKept));
        script.push_back(Key(handled + L"\\ShellEx\\ContextMenuHandlers", KeyRule::kKept));
        script.push_back(Key(handled + L"\\ShellEx\\ContextMenuHandlers\\QMZ4shellext",
                             KeyRule::kReplaced, {Default(classId)}));
    }
    script.push_back(ScriptKey{RegistryRoot::kLocalMachine,
                               kApprovedKey,
                               KeyRule::kKept,
                               {ScriptValue{classId, L"QMZ4shellext"}}});
    return script;
}

}  // namespace

RegistryScript MainAutoScript(const std::wstring& programPath) {
    RegistryScript script;
    AddProgIds(&script, L"QMZ4.QMZ4MainAuto", L"QMZ4MainAuto Class", kMainAutoClassId);
    const std::wstring classKey = AddClassKey(&script, L"QMZ4.QMZ4MainAuto", L"QMZ4MainAuto Class",
                                              kMainAutoClassId, kQmz4AppId, kQmz4LibraryId);
    // Quoted: an unquoted path with blanks lets Windows start a different program.
    script.push_back(Key(classKey + L"\\LocalServer32", KeyRule::kOwned,
                         {Default(L"\"" + programPath + L"\"")}));
    return script;
}

RegistryScript ProxyClassScript(const std::wstring& programPath) {
    const std::wstring progId = L"QMZ4.Application";
    const std::wstring classKey = std::wstring(L"CLSID\\") + kProxyClassId;
    return RegistryScript{
        Key(progId, KeyRule::kOwned, {Default(progId)}),
        Key(progId + L"\\CLSID", KeyRule::kOwned, {Default(kProxyClassId)}),
        Key(L"CLSID", KeyRule::kKept),
        Key(classKey, KeyRule::kReplaced, {Default(progId)}),
        Key(classKey + L"\\ProgID", KeyRule::kOwned, {Default(progId)}),
        Key(classKey + L"\\LocalServer32", KeyRule::kOwned, {Default(L"\"" + programPath + L"\"")}),
    };
}

RegistryScript ShellextAppIdScript() {
    const std::wstring appIdKey = std::wstring(L"AppID\\") + kShellextAppId;
    return RegistryScript{
        Key(L"AppID", KeyRule::kKept),
        Key(appIdKey, KeyRule::kOwned, {Default(L"QMZ4shellext")}),
        Key(L"AppID\\QMZ4shellext.DLL", KeyRule::kOwned, {ScriptValue{L"AppID", kShellextAppId}}),
    };
}

RegistryScript MenuHandlerScript(const std::wstring& dllPath) {
    return HandlerScript(dllPath, L"QMZ4shellext.QMZ4menu", L"QMZ4menu Class", kMenuClassId,
                         {L"*", L"Folder", L"lnkfile", L"Drive"});
}

RegistryScript RecycleBinHandlerScript(const std::wstring& dllPath) {
    return HandlerScript(dllPath, L"QMZ4shellext.QMZ4rbmenu", L"QMZ4rbmenu Class",
                         kRecycleBinMenuClassId, {std::wstring(L"CLSID\\") + kRecycleBinClassId});
}

}  // namespace qmz
