// The registration switches: what QMZ4.exe writes where COM looks for classes (Wine keeps
// HKEY_CLASSES_ROOT in HKLM\Software\Classes), read back by this process; both switches
// end the program without a window.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "platform/win32/unique_handle.h"
#include "registration/com_ids.h"
#include "tests/com/com_fixture.h"
#include "tests/gui/program_driver.h"

namespace qmz::comtest {
namespace {

constexpr wchar_t kMainAutoProgId[] = L"QMZ4.QMZ4MainAuto";
constexpr wchar_t kMainAutoVersionedProgId[] = L"QMZ4.QMZ4MainAuto.1";
constexpr wchar_t kMainAutoName[] = L"QMZ4MainAuto Class";
constexpr wchar_t kProxyProgId[] = L"QMZ4.Application";

std::wstring ClassesPath(const std::wstring& path) {
    return L"Software\\Classes\\" + path;
}

std::wstring MainAutoKey() {
    return std::wstring(L"CLSID\\") + kMainAutoClassId;
}
std::wstring ProxyKey() {
    return std::wstring(L"CLSID\\") + kProxyClassId;
}
std::wstring TypeLibKey() {
    return std::wstring(L"TypeLib\\") + kQmz4LibraryId + L"\\1.0";
}
std::wstring InterfaceKey() {
    return std::wstring(L"Interface\\") + kMainAutoInterfaceId;
}

bool KeyExists(const std::wstring& path) {
    HKEY opened = nullptr;
    const bool found = RegOpenKeyExW(HKEY_LOCAL_MACHINE, ClassesPath(path).c_str(), 0, KEY_READ,
                                     &opened) == ERROR_SUCCESS;
    CRegistryKeyHandle key(opened);
    return found;
}

// A REG_SZ value (the default value when `name` is null); "<missing>" when there is none.
std::wstring Text(const std::wstring& path, const wchar_t* name = nullptr) {
    wchar_t text[512] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, ClassesPath(path).c_str(), name, RRF_RT_REG_SZ, nullptr,
                     text, &size) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return text;
}

std::set<std::wstring> Subkeys(const std::wstring& path) {
    std::set<std::wstring> names;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ClassesPath(path).c_str(), 0, KEY_READ, &opened) !=
        ERROR_SUCCESS) {
        return names;
    }
    CRegistryKeyHandle key(opened);
    wchar_t name[256];
    DWORD length = 256;
    for (DWORD index = 0; RegEnumKeyExW(key.Get(), index, name, &length, nullptr, nullptr, nullptr,
                                        nullptr) == ERROR_SUCCESS;
         ++index, length = 256) {
        names.insert(name);
    }
    return names;
}

void ExpectRegistered() {
    const std::wstring quotedProgram = L"\"" + gui::ProgramPath() + L"\"";
    EXPECT_EQ(Text(kMainAutoVersionedProgId), kMainAutoName);
    EXPECT_EQ(Text(std::wstring(kMainAutoVersionedProgId) + L"\\CLSID"), kMainAutoClassId);
    EXPECT_EQ(Text(kMainAutoProgId), kMainAutoName);
    EXPECT_EQ(Text(std::wstring(kMainAutoProgId) + L"\\CLSID"), kMainAutoClassId);
    EXPECT_EQ(Text(std::wstring(kMainAutoProgId) + L"\\CurVer"), kMainAutoVersionedProgId);

    const std::wstring classKey = MainAutoKey();
    EXPECT_EQ(Text(classKey), kMainAutoName);
    const std::set<std::wstring> subkeys = {L"LocalServer32", L"ProgID", L"Programmable",
                                            L"TypeLib", L"VersionIndependentProgID"};
    EXPECT_EQ(Subkeys(classKey), subkeys);
    EXPECT_EQ(Text(classKey + L"\\ProgID"), kMainAutoVersionedProgId);
    EXPECT_EQ(Text(classKey + L"\\VersionIndependentProgID"), kMainAutoProgId);
    EXPECT_EQ(Text(classKey + L"\\LocalServer32"), quotedProgram);
    EXPECT_EQ(Text(classKey + L"\\TypeLib"), kQmz4LibraryId);
    EXPECT_EQ(Text(classKey, L"AppID"), kQmz4AppId);

    EXPECT_EQ(Text(std::wstring(kProxyProgId) + L"\\CLSID"), kProxyClassId);
    std::wstring proxyServer = Text(ProxyKey() + L"\\LocalServer32");
    CharUpperW(proxyServer.data());
    std::wstring program = gui::ProgramPath();
    CharUpperW(program.data());
    EXPECT_NE(proxyServer.find(program), std::wstring::npos) << proxyServer;

    EXPECT_TRUE(KeyExists(TypeLibKey())) << "the type library is registered";
    EXPECT_TRUE(KeyExists(InterfaceKey())) << "the dual interface is registered for marshalling";
}

void ExpectUnregistered() {
    for (const std::wstring& key :
         {std::wstring(kMainAutoVersionedProgId), std::wstring(kMainAutoProgId), MainAutoKey(),
          std::wstring(kProxyProgId), ProxyKey(), TypeLibKey(), InterfaceKey()}) {
        EXPECT_FALSE(KeyExists(key)) << key << " is left";
    }
    EXPECT_TRUE(KeyExists(L"CLSID")) << "the shared parent is never removed";
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { EndAllPrograms(); }
    void TearDown() override {
        EndAllPrograms();
        RunProgram(L"/Unregister");
    }
};

TEST_F(RegistrationTest, TheSwitchesWriteAndRemoveTheClassesWithoutAWindow) {
    struct Switches {
        const wchar_t* write;
        const wchar_t* remove;
    };
    for (const Switches& switches :
         {Switches{L"/Register", L"/Unregister"}, Switches{L"-REGSERVER", L"-unregserver"}}) {
        SCOPED_TRACE(::testing::Message() << switches.write << " " << switches.remove);
        ASSERT_TRUE(RunProgram(switches.remove).ended);
        ExpectUnregistered();

        const ChildRun written = RunProgram(switches.write);
        EXPECT_TRUE(written.ended) << "the registration run stays";
        EXPECT_FALSE(written.showedWindow);
        ExpectRegistered();

        const ChildRun removed = RunProgram(switches.remove);
        EXPECT_TRUE(removed.ended) << "the unregistration run stays";
        EXPECT_FALSE(removed.showedWindow);
        ExpectUnregistered();
    }
}

TEST_F(RegistrationTest, ANormalStartRegistersTheServer) {
    ASSERT_TRUE(RunProgram(L"/Unregister").ended);
    gui::CProgram program(gui::ProgramPath());
    ASSERT_TRUE(program.Start());
    ExpectRegistered();
    EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace qmz::comtest
