#include "platform/sim/sim_registry.h"

#include <algorithm>
#include <cwctype>
#include <utility>

namespace qmz {

namespace {

// Registry names compare without regard to case.
std::wstring Fold(const std::wstring& name) {
    std::wstring folded = name;
    for (wchar_t& c : folded) {
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    }
    return folded;
}

// Registry names are counted in UTF-16 units, as Windows reports them.
size_t Utf16Length(const std::wstring& text) {
    size_t units = 0;
    for (wchar_t c : text) {
        const uint32_t code = static_cast<uint32_t>(c);  // above 0xFFFF only where wchar_t is wider
        units += code > 0xFFFF ? 2 : 1;
    }
    return units;
}

std::vector<std::wstring> SplitPath(const std::wstring& path) {
    std::vector<std::wstring> parts;
    std::wstring part;
    for (wchar_t c : path) {
        if (c == L'\\') {
            if (!part.empty()) {
                parts.push_back(std::move(part));
            }
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty()) {
        parts.push_back(std::move(part));
    }
    return parts;
}

}  // namespace

struct CSimRegistry::Node {
    RegistryRoot root = RegistryRoot::kCurrentUser;
    std::wstring path;
    std::map<std::wstring, std::unique_ptr<Node>> children;      // by folded name
    std::vector<std::pair<std::wstring, RegistryValue>> values;  // in creation order

    std::pair<std::wstring, RegistryValue>* FindValue(const std::wstring& name) {
        std::wstring folded = Fold(name);
        for (auto& entry : values) {
            if (Fold(entry.first) == folded) {
                return &entry;
            }
        }
        return nullptr;
    }
};

// Every call takes the registry's lock: a key may be used on the worker thread while the
// test's thread reads the registry.
class CSimRegistryKey : public IRegistryKey {
public:
    CSimRegistryKey(CSimRegistry* registry, CSimRegistry::Node* node, bool writable)
        : m_registry(registry), m_node(node), m_writable(writable) {}

    uint32_t QueryValue(const std::wstring& name, size_t maxBytes, RegistryValue* value) override {
        std::lock_guard<std::mutex> lock(m_registry->m_mutex);
        if (uint32_t error = m_registry->InjectedError(SimRegistryCall::kQueryValue, name)) {
            return error;
        }
        auto* entry = m_node->FindValue(name);
        if (entry == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        value->type = entry->second.type;
        if (entry->second.data.size() > maxBytes) {
            value->data.clear();
            return ERROR_MORE_DATA;
        }
        value->data = entry->second.data;
        return ERROR_SUCCESS;
    }

    uint32_t SetValue(const std::wstring& name, uint32_t type,
                      const std::vector<uint8_t>& data) override {
        std::lock_guard<std::mutex> lock(m_registry->m_mutex);
        if (uint32_t error = m_registry->InjectedError(SimRegistryCall::kSetValue, name)) {
            return error;
        }
        if (!m_writable) {
            return ERROR_ACCESS_DENIED;
        }
        RegistryValue value{type, data};
        if (auto* entry = m_node->FindValue(name)) {
            entry->second = value;  // keeps its place in the enumeration order
        } else {
            m_node->values.emplace_back(name, value);
        }
        m_registry->RecordWrite(*m_node, name, value, SimRegistryChange::kSet);
        return ERROR_SUCCESS;
    }

    uint32_t DeleteValue(const std::wstring& name) override {
        std::lock_guard<std::mutex> lock(m_registry->m_mutex);
        if (uint32_t error = m_registry->InjectedError(SimRegistryCall::kDeleteValue, name)) {
            return error;
        }
        if (!m_writable) {
            return ERROR_ACCESS_DENIED;
        }
        auto* entry = m_node->FindValue(name);
        if (entry == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        const std::wstring stored = entry->first;
        m_node->values.erase(m_node->values.begin() + (entry - m_node->values.data()));
        m_registry->RecordWrite(*m_node, stored, RegistryValue{}, SimRegistryChange::kDelete);
        return ERROR_SUCCESS;
    }

    uint32_t EnumValueName(uint32_t index, std::wstring* name) override {
        std::lock_guard<std::mutex> lock(m_registry->m_mutex);
        if (uint32_t error =
                m_registry->InjectedError(SimRegistryCall::kEnumValue, NameAt(index))) {
            return error;
        }
        if (index >= m_node->values.size()) {
            return ERROR_NO_MORE_ITEMS;
        }
        *name = m_node->values[index].first;
        return ERROR_SUCCESS;
    }

    uint32_t QueryInfo(uint32_t* maxValueNameChars, uint32_t* maxValueDataBytes) override {
        std::lock_guard<std::mutex> lock(m_registry->m_mutex);
        if (uint32_t error = m_registry->InjectedError(SimRegistryCall::kQueryInfo, m_node->path)) {
            return error;
        }
        size_t longestName = 0;
        size_t largestData = 0;
        for (const auto& entry : m_node->values) {
            longestName = std::max(longestName, Utf16Length(entry.first));
            largestData = std::max(largestData, entry.second.data.size());
        }
        *maxValueNameChars = static_cast<uint32_t>(longestName);
        *maxValueDataBytes = static_cast<uint32_t>(largestData);
        return ERROR_SUCCESS;
    }

    uint32_t EnumValue(uint32_t index, uint32_t nameBufferChars, uint32_t dataBufferBytes,
                       std::wstring* name, RegistryValue* value) override {
        std::lock_guard<std::mutex> lock(m_registry->m_mutex);
        if (uint32_t error =
                m_registry->InjectedError(SimRegistryCall::kEnumValue, NameAt(index))) {
            return error;
        }
        if (index >= m_node->values.size()) {
            return ERROR_NO_MORE_ITEMS;
        }
        const auto& entry = m_node->values[index];
        value->type = entry.second.type;
        value->data.clear();
        // The name's buffer must also hold its terminator.
        if (Utf16Length(entry.first) >= nameBufferChars ||
            entry.second.data.size() > dataBufferBytes) {
            return ERROR_MORE_DATA;
        }
        *name = entry.first;
        value->data = entry.second.data;
        return ERROR_SUCCESS;
    }

private:
    std::wstring NameAt(uint32_t index) const {
        return index < m_node->values.size() ? m_node->values[index].first : std::wstring();
    }

    CSimRegistry* m_registry;
    CSimRegistry::Node* m_node;
    bool m_writable;
};

CSimRegistry::CSimRegistry() {
    const RegistryRoot roots[] = {RegistryRoot::kCurrentUser, RegistryRoot::kClassesRoot,
                                  RegistryRoot::kLocalMachine};
    for (RegistryRoot root : roots) {
        m_roots[static_cast<int>(root)] = std::make_unique<Node>();
        m_roots[static_cast<int>(root)]->root = root;
    }
}

CSimRegistry::~CSimRegistry() = default;

CSimRegistry::Node* CSimRegistry::Root(RegistryRoot root) const {
    return m_roots[static_cast<int>(root)].get();
}

CSimRegistry::Node* CSimRegistry::Find(RegistryRoot root, const std::wstring& subKey) const {
    Node* node = Root(root);
    for (const std::wstring& part : SplitPath(subKey)) {
        auto child = node->children.find(Fold(part));
        if (child == node->children.end()) {
            return nullptr;
        }
        node = child->second.get();
    }
    return node;
}

CSimRegistry::Node* CSimRegistry::Make(RegistryRoot root, const std::wstring& subKey) {
    Node* node = Root(root);
    for (const std::wstring& part : SplitPath(subKey)) {
        std::unique_ptr<Node>& child = node->children[Fold(part)];
        if (!child) {
            child = std::make_unique<Node>();
            child->root = root;
            child->path = node->path.empty() ? part : node->path + L"\\" + part;
        }
        node = child.get();
    }
    return node;
}

uint32_t CSimRegistry::OpenKey(RegistryRoot root, const std::wstring& subKey, bool writable,
                               std::unique_ptr<IRegistryKey>* key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (uint32_t error = InjectedError(SimRegistryCall::kOpenKey, subKey)) {
        return error;
    }
    Node* node = Find(root, subKey);
    if (node == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    *key = std::make_unique<CSimRegistryKey>(this, node, writable);
    return ERROR_SUCCESS;
}

uint32_t CSimRegistry::CreateKey(RegistryRoot root, const std::wstring& subKey,
                                 std::unique_ptr<IRegistryKey>* key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (uint32_t error = InjectedError(SimRegistryCall::kCreateKey, subKey)) {
        return error;
    }
    *key = std::make_unique<CSimRegistryKey>(this, Make(root, subKey), true);
    return ERROR_SUCCESS;
}

uint32_t CSimRegistry::DeleteKeyTree(RegistryRoot root, const std::wstring& subKey) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (uint32_t error = InjectedError(SimRegistryCall::kDeleteKeyTree, subKey)) {
        return error;
    }
    const std::vector<std::wstring> parts = SplitPath(subKey);
    if (parts.empty()) {
        return ERROR_INVALID_PARAMETER;
    }
    Node* parent = Root(root);
    for (size_t i = 0; i + 1 < parts.size() && parent != nullptr; ++i) {
        auto child = parent->children.find(Fold(parts[i]));
        parent = child == parent->children.end() ? nullptr : child->second.get();
    }
    auto doomed = parent == nullptr ? decltype(parent->children)::iterator()
                                    : parent->children.find(Fold(parts.back()));
    if (parent == nullptr || doomed == parent->children.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    m_journal.push_back(SimRegistryWrite{root, doomed->second->path, std::wstring(),
                                         RegistryValue{}, SimRegistryChange::kDeleteKey});
    parent->children.erase(doomed);
    return ERROR_SUCCESS;
}

void CSimRegistry::PutValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                            uint32_t type, std::vector<uint8_t> data) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = Make(root, subKey);
    RegistryValue value{type, std::move(data)};
    if (auto* entry = node->FindValue(name)) {
        entry->second = std::move(value);
    } else {
        node->values.emplace_back(name, std::move(value));
    }
}

void CSimRegistry::PutKey(RegistryRoot root, const std::wstring& subKey) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Make(root, subKey);
}

bool CSimRegistry::KeyExists(RegistryRoot root, const std::wstring& subKey) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return Find(root, subKey) != nullptr;
}

bool CSimRegistry::GetValue(RegistryRoot root, const std::wstring& subKey, const std::wstring& name,
                            RegistryValue* value) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = Find(root, subKey);
    auto* entry = node != nullptr ? node->FindValue(name) : nullptr;
    if (entry == nullptr) {
        return false;
    }
    *value = entry->second;
    return true;
}

size_t CSimRegistry::KeyCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t count = 0;
    std::vector<const Node*> pending;
    for (const auto& root : m_roots) {
        pending.push_back(root.get());
    }
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        for (const auto& child : node->children) {
            ++count;
            pending.push_back(child.second.get());
        }
    }
    return count;
}

void CSimRegistry::FailCall(SimRegistryCall call, uint32_t error, uint32_t nth, bool persistent,
                            const std::wstring& target) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.push_back(Fault{call, error, nth > 0 ? nth - 1 : 0, persistent, Fold(target)});
}

uint32_t CSimRegistry::InjectedError(SimRegistryCall call, const std::wstring& target) {
    std::wstring folded = Fold(target);
    uint32_t error = ERROR_SUCCESS;
    // Every matching fault counts this call; the first one due decides the result.
    for (auto fault = m_faults.begin(); fault != m_faults.end();) {
        if (fault->call != call || (!fault->target.empty() && fault->target != folded)) {
            ++fault;
        } else if (fault->remaining > 0) {
            --fault->remaining;
            ++fault;
        } else {
            if (error == ERROR_SUCCESS) {
                error = fault->error;
            }
            fault = fault->persistent ? fault + 1 : m_faults.erase(fault);
        }
    }
    return error;
}

void CSimRegistry::RecordWrite(const Node& key, const std::wstring& name,
                               const RegistryValue& value, SimRegistryChange change) {
    m_journal.push_back(SimRegistryWrite{key.root, key.path, name, value, change});
}

std::vector<SimRegistryWrite> CSimRegistry::Journal() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_journal;
}

void CSimRegistry::ClearJournal() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_journal.clear();
}

}  // namespace qmz
