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
#include <thread>
#include <utility>
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

TEST_P(RegistryContractTest, InfoSizesTheBuffersThatEnumerateNamesAndData) {
    auto key = Create(kCase);
    uint32_t maxName = 99;
    uint32_t maxData = 99;
    ASSERT_EQ(key->QueryInfo(&maxName, &maxData), ERROR_SUCCESS);
    EXPECT_EQ(maxName, 0u);
    EXPECT_EQ(maxData, 0u);
    std::wstring name;
    RegistryValue value;
    EXPECT_EQ(key->EnumValue(0, 1, 0, &name, &value), ERROR_NO_MORE_ITEMS);

    const std::vector<std::pair<std::wstring, RegistryValue>> stored = {
        {L"url1", {REG_SZ, {'h', 0, 't', 0, 0, 0}}},
        {L"a_longer_name", {REG_BINARY, {1}}},
        {L"Empty", {REG_SZ, {}}},
        {L"url10", {REG_SZ, std::vector<uint8_t>(40, 'x')}},
    };
    for (const auto& entry : stored) {
        ASSERT_EQ(key->SetValue(entry.first, entry.second.type, entry.second.data), ERROR_SUCCESS);
    }
    ASSERT_EQ(key->QueryInfo(&maxName, &maxData), ERROR_SUCCESS);
    EXPECT_EQ(maxName, 13u);  // without the terminator
    EXPECT_EQ(maxData, 40u);

    // Buffers of exactly that size read every value; the order is the registry's own.
    std::vector<std::pair<std::wstring, RegistryValue>> read;
    uint32_t index = 0;
    for (; key->EnumValue(index, maxName + 1, maxData, &name, &value) == ERROR_SUCCESS; ++index) {
        read.emplace_back(name, value);
    }
    EXPECT_EQ(key->EnumValue(index, maxName + 1, maxData, &name, &value), ERROR_NO_MORE_ITEMS);
    ASSERT_EQ(read.size(), stored.size());
    for (const auto& entry : stored) {
        auto found = std::find_if(read.begin(), read.end(),
                                  [&](const auto& r) { return r.first == entry.first; });
        ASSERT_NE(found, read.end());
        EXPECT_EQ(found->second.type, entry.second.type);
        EXPECT_EQ(found->second.data, entry.second.data);
    }

    // One unit short, for the name's terminator or for the data, is too small.
    for (uint32_t i = 0; i < read.size(); ++i) {
        const uint32_t nameChars = static_cast<uint32_t>(read[i].first.size());
        const uint32_t dataBytes = static_cast<uint32_t>(read[i].second.data.size());
        EXPECT_EQ(key->EnumValue(i, nameChars, maxData, &name, &value), ERROR_MORE_DATA);
        EXPECT_EQ(key->EnumValue(i, nameChars + 1, dataBytes, &name, &value), ERROR_SUCCESS);
        if (dataBytes > 0) {
            EXPECT_EQ(key->EnumValue(i, nameChars + 1, dataBytes - 1, &name, &value),
                      ERROR_MORE_DATA);
        }
    }
}

TEST_P(RegistryContractTest, RewritingValuesByIndexKeepsEveryIndex) {
    auto key = Create(kCase);
    for (const wchar_t* name : {L"url3", L"url1", L"url2"}) {
        SetStringValue(*key, name, L"http://example.org/");
    }
    auto namesByIndex = [&key] {
        std::vector<std::wstring> names;
        std::wstring name;
        for (uint32_t i = 0; key->EnumValueName(i, &name) == ERROR_SUCCESS; ++i) {
            names.push_back(name);
        }
        return names;
    };
    const std::vector<std::wstring> before = namesByIndex();
    ASSERT_EQ(before.size(), 3u);
    for (uint32_t i = 0; i < before.size(); ++i) {
        std::wstring name;
        RegistryValue value;
        ASSERT_EQ(key->EnumValue(i, 16, 64, &name, &value), ERROR_SUCCESS);
        ASSERT_EQ(key->SetValue(name, value.type, std::vector<uint8_t>(value.data.size(), ' ')),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(namesByIndex(), before);
    // Deleting the last index leaves the others where they were.
    ASSERT_EQ(key->DeleteValue(before[2]), ERROR_SUCCESS);
    EXPECT_EQ(namesByIndex(), (std::vector<std::wstring>{before[0], before[1]}));
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

TEST_P(RegistryContractTest, DeleteKeyTreeTakesEverythingBelowAndNothingBeside) {
    SetDwordValue(*Create(kCase + L"\\Doomed\\A\\B"), L"Deep", 1);
    Create(kCase + L"\\Doomed\\C");
    SetDwordValue(*Create(kCase + L"\\DoomedSibling"), L"Stays", 2);
    SetDwordValue(*Create(kCase), L"ParentValue", 3);

    EXPECT_EQ(m_registry->DeleteKeyTree(RegistryRoot::kCurrentUser, kCase + L"\\doomed"),
              ERROR_SUCCESS);
    std::unique_ptr<IRegistryKey> key;
    EXPECT_EQ(Open(kCase + L"\\Doomed\\A", false, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Open(kCase + L"\\Doomed", false, &key), ERROR_FILE_NOT_FOUND);
    int32_t value = 0;
    EXPECT_TRUE(ReadDwordValue(*Create(kCase + L"\\DoomedSibling"), L"Stays", &value));
    EXPECT_TRUE(ReadDwordValue(*Create(kCase), L"ParentValue", &value));

    EXPECT_EQ(m_registry->DeleteKeyTree(RegistryRoot::kCurrentUser, kCase + L"\\Doomed"),
              ERROR_FILE_NOT_FOUND);
    EXPECT_NE(m_registry->DeleteKeyTree(RegistryRoot::kCurrentUser, L""), ERROR_SUCCESS);
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

TEST(SimRegistry, JournalRecordsDeletionsAndEnumerationFaultsTargetAValue) {
    CSimRegistry registry;
    registry.PutValue(RegistryRoot::kCurrentUser, L"K", L"First", REG_SZ, {'a', 0});
    registry.PutValue(RegistryRoot::kCurrentUser, L"K", L"Second", REG_SZ, {'b', 0});
    std::unique_ptr<IRegistryKey> key;
    ASSERT_EQ(registry.OpenKey(RegistryRoot::kCurrentUser, L"K", true, &key), ERROR_SUCCESS);

    registry.FailCall(SimRegistryCall::kEnumValue, ERROR_ACCESS_DENIED, 1, false, L"second");
    std::wstring name;
    RegistryValue value;
    EXPECT_EQ(key->EnumValue(0, 16, 16, &name, &value), ERROR_SUCCESS);
    EXPECT_EQ(key->EnumValue(1, 16, 16, &name, &value), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key->EnumValue(1, 16, 16, &name, &value), ERROR_SUCCESS);
    registry.FailCall(SimRegistryCall::kQueryInfo, ERROR_ACCESS_DENIED, 1, false, L"k");
    uint32_t maxName = 0;
    uint32_t maxData = 0;
    EXPECT_EQ(key->QueryInfo(&maxName, &maxData), ERROR_ACCESS_DENIED);

    EXPECT_EQ(key->DeleteValue(L"FIRST"), ERROR_SUCCESS);
    EXPECT_EQ(key->DeleteValue(L"first"), ERROR_FILE_NOT_FOUND);  // not journalled
    const std::vector<SimRegistryWrite> journal = registry.Journal();
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0].change, SimRegistryChange::kDelete);
    EXPECT_EQ(journal[0].name, L"First");  // as stored
    EXPECT_EQ(journal[0].keyPath, L"K");
}

TEST(SimRegistry, OneThreadMayWriteWhileAnotherReads) {
    CSimRegistry registry;
    std::unique_ptr<IRegistryKey> key;
    ASSERT_EQ(registry.CreateKey(RegistryRoot::kCurrentUser, L"K", &key), ERROR_SUCCESS);
    std::thread writer([&key] {
        for (uint32_t i = 0; i < 200; ++i) {
            SetDwordValue(*key, L"V" + std::to_wstring(i % 7), i);
            key->DeleteValue(L"V" + std::to_wstring((i + 3) % 7));
        }
    });
    // Reading while the other thread writes: a race here is what TSan reports.
    for (int i = 0; i < 200; ++i) {
        registry.Journal();
        RegistryValue value;
        registry.GetValue(RegistryRoot::kCurrentUser, L"K", L"V1", &value);
    }
    writer.join();
    EXPECT_GE(registry.Journal().size(), 200u);  // every set, and the deletes that found a value
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
