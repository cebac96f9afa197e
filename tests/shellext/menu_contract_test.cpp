// What both handlers share with Explorer and the main program: how verbs and text
// requests are read, the settings they read themselves, and their texts.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/registry_values.h"
#include "platform/sim/sim_registry.h"
#include "shellext/model/menu_verbs.h"
#include "shellext/model/shellext_settings.h"

namespace qmz {
namespace {

TEST(MenuVerbs, OffsetsAndVerbStringsAndTextRequestsAreToldApart) {
    EXPECT_EQ(VerbNumber(2), 2u);
    EXPECT_EQ(VerbNumber(0x00000001'00000003ull), 3u) << "only the low 32 bits decide";
    // Any of bits 16 to 31 set: the address of a verb string.
    EXPECT_FALSE(VerbNumber(0x10000));
    EXPECT_FALSE(VerbNumber(0x00007FF6'80000000ull));
    // GCS_VERBA and GCS_VALIDATEA are refused; GCS_HELPTEXTA is ANSI; the W forms wide.
    EXPECT_EQ(CommandTextFormOf(0), CommandTextForm::kRefused);
    EXPECT_EQ(CommandTextFormOf(2), CommandTextForm::kRefused);
    EXPECT_EQ(CommandTextFormOf(1), CommandTextForm::kAnsi);
    for (uint32_t wide : {4u, 5u, 6u}) {
        EXPECT_EQ(CommandTextFormOf(wide), CommandTextForm::kWide) << wide;
    }
}

TEST(ShellextSettings, OnlyAFourByteDwordCounts) {
    const std::wstring key = L"Software\\Quellmark\\QMZ4\\Settings";
    CSimRegistry registry;
    EXPECT_EQ(ReadShellextSetting(&registry, L"IncludeNetworkDrives"), 0) << "no key";
    registry.PutValue(RegistryRoot::kCurrentUser, key, L"IncludeNetworkDrives", REG_DWORD,
                      {1, 0, 0, 0});
    registry.PutValue(RegistryRoot::kCurrentUser, key, L"Language", REG_DWORD, {0x11, 0x04, 0, 0});
    EXPECT_EQ(ReadShellextSetting(&registry, L"IncludeNetworkDrives"), 1);
    EXPECT_EQ(ReadShellextSetting(&registry, L"Language"), 1041);
    registry.PutValue(RegistryRoot::kCurrentUser, key, L"IncludeNetworkDrives", REG_BINARY,
                      {1, 0, 0, 0});
    registry.PutValue(RegistryRoot::kCurrentUser, key, L"Language", REG_DWORD,
                      {0x09, 0x04, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(ReadShellextSetting(&registry, L"IncludeNetworkDrives"), 0);
    EXPECT_EQ(ReadShellextSetting(&registry, L"Language"), 0);
}

// The error prefix and the caption are the main program's; the tables must not drift.
TEST(ShellextStrings, SharedTextsAreTheProgramsOwn) {
    std::map<uint32_t, std::wstring> shellext;
    std::map<uint32_t, std::wstring> program;
#define STR(id, text) shellext[id] = L"" text;
#include "resources/shellext_strings.inc"
#undef STR
#define STR(id, text) program[id] = L"" text;
#include "resources/strings.inc"
#undef STR
    EXPECT_EQ(shellext[4005], program[205]);
    EXPECT_EQ(shellext[4000], program[102]);
}

}  // namespace
}  // namespace qmz
