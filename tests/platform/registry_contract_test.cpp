// One contract for every registry implementation: the in-memory double natively, and under
// Wine also the real registry, so the double cannot drift from what Windows does.
#ifdef _WIN32
#include <windows.h>

#include "platform/win32/win32_registry.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/registry_values.h"
#include "platform/sim/sim_registry.h"

namespace qmz {
namespace {

// Everything a test writes lives below this key of HKEY_CURRENT_USER.
const std::wstring kScratch = L"Software\\QMZ4Test";
const std::wstring kCase = kScratch + L"\\Case";

struct RegistryFactory {
    const char* name;
    std::function<std::unique_ptr<IRegistry>()> make;
    std::function<void()> clean;  // removes the scratch key
};

class RegistryContractTest : public ::testing::TestWithParam<RegistryFactory> {
protected:
    void SetUp() override {
        GetParam().clean();
        m_registry = GetParam().make();
    }
    void TearDown() override { GetParam().clean(); }

    std::unique_ptr<IRegistryKey> Create(const std::wstring& path) {
        std::unique_ptr<IRegistryKey> key;
        EXPECT_EQ(m_registry->CreateKey(RegistryRoot::kCurrentUser, path, &key), ERROR_SUCCESS);
        return key;
    }
    uint32_t Open(const std::wstring& path, bool writable, std::unique_ptr<IRegistryKey>* key) {
        return m_registry->OpenKey(RegistryRoot::kCurrentUser, path, writable, key);
    }

    std::unique_ptr<IRegistry> m_registry;
};

// ---- Keys -------------------------------------------------------------------------------

TEST_P(RegistryContractTest, OpeningAMissingKeyFailsAndCreatesNothing) {
    std::unique_ptr<IRegistryKey> key;
    EXPECT_EQ(Open(kCase + L"\\Missing", false, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(Open(kCase, false, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Open(kScratch, false, &key), ERROR_FILE_NOT_FOUND);
}

TEST_P(RegistryContractTest, CreateMakesEveryLevelAndReopensWhatExists) {
    Create(kCase + L"\\A\\B");
    std::unique_ptr<IRegistryKey> key;
    EXPECT_EQ(Open(kCase + L"\\A", false, &key), ERROR_SUCCESS);
    EXPECT_EQ(SetDwordValue(*Create(kCase + L"\\A\\B"), L"Kept", 7), ERROR_SUCCESS);
    int32_t value = 0;
    EXPECT_TRUE(ReadDwordValue(*Create(kCase + L"\\A\\B"), L"Kept", &value));
    EXPECT_EQ(value, 7);
}

TEST_P(RegistryContractTest, KeyAndValueNamesIgnoreCase) {
    SetStringValue(*Create(kCase + L"\\Mixed"), L"SomeValue", L"x");
    std::unique_ptr<IRegistryKey> key;
    ASSERT_EQ(Open(kCase + L"\\MIXED", false, &key), ERROR_SUCCESS);
    std::wstring text;
    EXPECT_TRUE(ReadStringValue(*key, L"somevalue", &text));
    EXPECT_EQ(text, L"x");
}

TEST_P(RegistryContractTest, ReadOnlyKeyRefusesWrites) {
    SetDwordValue(*Create(kCase), L"Value", 1);
    std::unique_ptr<IRegistryKey> key;
    ASSERT_EQ(Open(kCase, false, &key), ERROR_SUCCESS);
    EXPECT_EQ(SetDwordValue(*key, L"Value", 2), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key->DeleteValue(L"Value"), ERROR_ACCESS_DENIED);
    ASSERT_EQ(Open(kCase, true, &key), ERROR_SUCCESS);
    EXPECT_EQ(SetDwordValue(*key, L"Value", 2), ERROR_SUCCESS);
}

// ---- Values -----------------------------------------------------------------------------

TEST_P(RegistryContractTest, ValuesComeBackWithTheirTypeAndExactBytes) {
    auto key = Create(kCase);
    const std::vector<RegistryValue> samples = {
        {REG_DWORD, {0xF8, 0xFF, 0xFF, 0xFF}},
        {REG_DWORD, {1, 2}},         // a malformed DWORD is stored as given
        {REG_SZ, {'a', 0, 'b', 0}},  // no terminator: none is added on the way back
        {REG_SZ, {'a', 0, 0, 0}},
        {REG_SZ, {'a', 0, 'b'}},  // half a character
        {REG_BINARY, {}},
        {REG_BINARY, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const RegistryValue& sample : samples) {
        ASSERT_EQ(key->SetValue(L"V", sample.type, sample.data), ERROR_SUCCESS);
        RegistryValue read;
        ASSERT_EQ(key->QueryValue(L"V", 64, &read), ERROR_SUCCESS);
        EXPECT_EQ(read.type, sample.type);
        EXPECT_EQ(read.data, sample.data);
    }
}

TEST_P(RegistryContractTest, QueryIsBoundedByTheCallersLimit) {
    auto key = Create(kCase);
    key->SetValue(L"V", REG_BINARY, std::vector<uint8_t>(10, 0xAB));
    RegistryValue read;
    EXPECT_EQ(key->QueryValue(L"V", 9, &read), ERROR_MORE_DATA);
    EXPECT_TRUE(read.data.empty());
    EXPECT_EQ(key->QueryValue(L"V", 10, &read), ERROR_SUCCESS);
    EXPECT_EQ(read.data.size(), 10u);
    EXPECT_EQ(key->QueryValue(L"Absent", 10, &read), ERROR_FILE_NOT_FOUND);
}

TEST_P(RegistryContractTest, DeleteAndEnumerateValues) {
    auto key = Create(kCase);
    for (const wchar_t* name : {L"One", L"Two", L"Three"}) {
        SetDwordValue(*key, name, 1);
    }
    EXPECT_EQ(key->DeleteValue(L"Two"), ERROR_SUCCESS);
    EXPECT_EQ(key->DeleteValue(L"Two"), ERROR_FILE_NOT_FOUND);
    std::vector<std::wstring> names;
    std::wstring name;
    uint32_t index = 0;
    while (key->EnumValueName(index, &name) == ERROR_SUCCESS) {
        names.push_back(name);
        ++index;
    }
    EXPECT_EQ(key->EnumValueName(index, &name), ERROR_NO_MORE_ITEMS);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"One", L"Three"}));
}

TEST_P(RegistryContractTest, TypedHelpersRoundTrip) {
    auto key = Create(kCase);
    SetDwordValue(*key, L"Negative", static_cast<uint32_t>(-8));
    SetStringValue(*key, L"Text", L"C:\\ドキュメント\\QMZ4_log.csv");
    SetStringValue(*key, L"Empty", L"");
    int32_t number = 0;
    std::wstring text = L"unchanged";
    EXPECT_TRUE(ReadDwordValue(*key, L"Negative", &number));
    EXPECT_EQ(number, -8);
    EXPECT_TRUE(ReadStringValue(*key, L"Text", &text));
    EXPECT_EQ(text, L"C:\\ドキュメント\\QMZ4_log.csv");
    EXPECT_TRUE(ReadStringValue(*key, L"Empty", &text));
    EXPECT_EQ(text, L"");
    // Each reader takes only its own type.
    EXPECT_FALSE(ReadDwordValue(*key, L"Text", &number));
    EXPECT_FALSE(ReadStringValue(*key, L"Negative", &text));
}

TEST_P(RegistryContractTest, TwoHandlesSeeOneKey) {
    auto writer = Create(kCase);
    std::unique_ptr<IRegistryKey> reader;
    ASSERT_EQ(Open(kCase, false, &reader), ERROR_SUCCESS);
    SetDwordValue(*writer, L"Late", 5);
    int32_t value = 0;
    EXPECT_TRUE(ReadDwordValue(*reader, L"Late", &value));
    EXPECT_EQ(value, 5);
}

std::vector<RegistryFactory> Factories() {
    std::vector<RegistryFactory> factories;
    factories.push_back({"Sim", [] { return std::make_unique<CSimRegistry>(); }, [] {}});
#ifdef _WIN32
    factories.push_back({"Win32", [] { return std::make_unique<CWin32Registry>(); },
                         [] { RegDeleteTreeW(HKEY_CURRENT_USER, kScratch.c_str()); }});
#endif
    return factories;
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistryContractTest, ::testing::ValuesIn(Factories()),
                         [](const ::testing::TestParamInfo<RegistryFactory>& info) {
                             return info.param.name;
                         });

// ---- The double's own tools: journal and fault injection --------------------------------

TEST(SimRegistry, JournalRecordsSuccessfulWritesInOrder) {
    CSimRegistry registry;
    std::unique_ptr<IRegistryKey> key;
    registry.CreateKey(RegistryRoot::kCurrentUser, L"Software\\X", &key);
    SetDwordValue(*key, L"B", 1);
    SetStringValue(*key, L"A", L"t");
    registry.FailCall(SimRegistryCall::kSetValue, ERROR_ACCESS_DENIED);
    SetDwordValue(*key, L"C", 1);
    ASSERT_EQ(registry.Journal().size(), 2u);
    EXPECT_EQ(registry.Journal()[0].name, L"B");
    EXPECT_EQ(registry.Journal()[0].keyPath, L"Software\\X");
    EXPECT_EQ(registry.Journal()[1].value.type, REG_SZ);
}

TEST(SimRegistry, FaultsFireOnTheNthMatchingCallOnceOrForGood) {
    CSimRegistry registry;
    registry.PutValue(RegistryRoot::kCurrentUser, L"K", L"V", REG_DWORD, {1, 0, 0, 0});
    std::unique_ptr<IRegistryKey> key;
    registry.OpenKey(RegistryRoot::kCurrentUser, L"K", false, &key);
    RegistryValue value;

    registry.FailCall(SimRegistryCall::kQueryValue, ERROR_ACCESS_DENIED, 2, false, L"V");
    EXPECT_EQ(key->QueryValue(L"Other", 4, &value), ERROR_FILE_NOT_FOUND);  // not counted
    EXPECT_EQ(key->QueryValue(L"V", 4, &value), ERROR_SUCCESS);
    EXPECT_EQ(key->QueryValue(L"v", 4, &value), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key->QueryValue(L"V", 4, &value), ERROR_SUCCESS);  // transient

    registry.FailCall(SimRegistryCall::kOpenKey, ERROR_ACCESS_DENIED, 1, true);
    EXPECT_EQ(registry.OpenKey(RegistryRoot::kCurrentUser, L"K", false, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(registry.OpenKey(RegistryRoot::kCurrentUser, L"K", false, &key), ERROR_ACCESS_DENIED);
}

TEST(SimRegistry, RootsAreSeparate) {
    CSimRegistry registry;
    registry.PutKey(RegistryRoot::kClassesRoot, L"*\\shellex");
    std::unique_ptr<IRegistryKey> key;
    EXPECT_EQ(registry.OpenKey(RegistryRoot::kClassesRoot, L"*\\shellex", false, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(registry.OpenKey(RegistryRoot::kCurrentUser, L"*\\shellex", false, &key),
              ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace qmz
