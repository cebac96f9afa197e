// An in-memory registry for tests: three roots, keys and typed values with case-insensitive
// names, a journal of every write, and fault injection by call kind. One lock guards it all,
// so the worker may use it while the test's thread sets it up or reads it afterwards.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
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
    kEnumValue,  // EnumValueName and EnumValue; the target is the value at that index
    kQueryInfo,
    kDeleteKeyTree
};

enum class SimRegistryChange { kSet, kDelete, kDeleteKey };

// One successful SetValue, DeleteValue or DeleteKeyTree (name empty), in call order.
struct SimRegistryWrite {
    RegistryRoot root = RegistryRoot::kCurrentUser;
    std::wstring keyPath;  // as created, separated by single backslashes
    std::wstring name;
    RegistryValue value;  // what was stored; empty for a deletion
    SimRegistryChange change = SimRegistryChange::kSet;
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
    uint32_t DeleteKeyTree(RegistryRoot root, const std::wstring& subKey) override;

    // Test set-up and inspection, bypassing faults and the journal.
    void PutValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                  uint32_t type, std::vector<uint8_t> data);
    void PutKey(RegistryRoot root, const std::wstring& subKey);
    bool KeyExists(RegistryRoot root, const std::wstring& subKey) const;
    bool GetValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                  RegistryValue* value) const;
    size_t KeyCount() const;  // every key below the three roots
    // A copy: the worker may still be writing.
    std::vector<SimRegistryWrite> Journal() const;
    void ClearJournal();

    // The nth matching call of this kind from now on (1 = the next) fails with error; with
    // persistent, every matching call after it fails too. target, when not empty, limits the
    // fault to calls on that sub key (open, create, query info) or value name (the others).
    void FailCall(SimRegistryCall call, uint32_t error, uint32_t nth = 1, bool persistent = false,
                  const std::wstring& target = L"");

private:
    friend class CSimRegistryKey;  // works on the nodes under m_mutex

    struct Node;
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
    // Both expect m_mutex held.
    uint32_t InjectedError(SimRegistryCall call, const std::wstring& target);
    void RecordWrite(const Node& key, const std::wstring& name, const RegistryValue& value,
                     SimRegistryChange change);

    mutable std::mutex m_mutex;
    std::unique_ptr<Node> m_roots[3];
    std::vector<Fault> m_faults;
    std::vector<SimRegistryWrite> m_journal;
};

}  // namespace qmz
