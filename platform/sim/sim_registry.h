// An in-memory registry for tests: three roots, keys and typed values with case-insensitive
// names, a journal of every write, and fault injection by call kind.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace qmz {

enum class SimRegistryCall {
    kOpenKey,
    kCreateKey,
    kQueryValue,
    kSetValue,
    kDeleteValue,
    kEnumValue
};

// One successful SetValue, in call order.
struct SimRegistryWrite {
    RegistryRoot root = RegistryRoot::kCurrentUser;
    std::wstring keyPath;  // as created, separated by single backslashes
    std::wstring name;
    RegistryValue value;
};

class CSimRegistry : public IRegistry {
public:
    CSimRegistry();
    ~CSimRegistry() override;
    CSimRegistry(const CSimRegistry&) = delete;
    CSimRegistry& operator=(const CSimRegistry&) = delete;

    uint32_t OpenKey(RegistryRoot root, const std::wstring& subKey, bool writable,
                     std::unique_ptr<IRegistryKey>* key) override;
    uint32_t CreateKey(RegistryRoot root, const std::wstring& subKey,
                       std::unique_ptr<IRegistryKey>* key) override;

    // Test set-up and inspection, bypassing faults and the journal.
    void PutValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                  uint32_t type, std::vector<uint8_t> data);
    void PutKey(RegistryRoot root, const std::wstring& subKey);
    bool KeyExists(RegistryRoot root, const std::wstring& subKey) const;
    bool GetValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                  RegistryValue* value) const;
    size_t KeyCount() const;  // every key below the three roots
    const std::vector<SimRegistryWrite>& Journal() const { return m_journal; }
    void ClearJournal() { m_journal.clear(); }

    // The nth matching call of this kind from now on (1 = the next) fails with error; with
    // persistent, every matching call after it fails too. target, when not empty, limits the
    // fault to calls on that sub key (open, create) or value name (the others).
    void FailCall(SimRegistryCall call, uint32_t error, uint32_t nth = 1, bool persistent = false,
                  const std::wstring& target = L"");

    struct Node;
    // Used by the keys this registry hands out: the fault check and the journal.
    uint32_t InjectedError(SimRegistryCall call, const std::wstring& target);
    void RecordWrite(const Node& key, const std::wstring& name, const RegistryValue& value);

private:
    struct Fault {
        SimRegistryCall call;
        uint32_t error;
        uint32_t remaining;  // matching calls still to pass before it fires
        bool persistent;
        std::wstring target;
    };

    Node* Root(RegistryRoot root) const;
    Node* Find(RegistryRoot root, const std::wstring& subKey) const;
    Node* Make(RegistryRoot root, const std::wstring& subKey);

    std::unique_ptr<Node> m_roots[3];
    std::vector<Fault> m_faults;
    std::vector<SimRegistryWrite> m_journal;
};

}  // namespace qmz
