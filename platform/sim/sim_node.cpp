#include "platform/sim/sim_node.h"

#include "platform/sim/sim_path.h"
#include "platform/sim/sim_volume.h"
#include "platform/win_types.h"

namespace qmz {

CSimNode::CSimNode(CSimVolume* volume, const std::wstring& name, bool folder)
    : m_volume(volume), m_name(name), m_folder(folder) {
    m_attributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!folder) {
        m_main = std::make_shared<CSimStream>(L"");
    }
}

uint32_t CSimNode::Attributes() const {
    return m_attributes != 0 ? m_attributes : FILE_ATTRIBUTE_NORMAL;
}

uint32_t CSimNode::AttributesThroughHostLink() const {
    return IsFolder() ? Attributes() | FILE_ATTRIBUTE_REPARSE_POINT : Attributes();
}

std::shared_ptr<CSimStream> CSimNode::FindStream(const std::wstring& name) const {
    if (name.empty()) {
        return m_main;
    }
    const auto found = m_named.find(FoldCase(name));
    return found != m_named.end() ? found->second : nullptr;
}

std::shared_ptr<CSimStream> CSimNode::AddStream(const std::wstring& name) {
    std::shared_ptr<CSimStream>& slot = m_named[FoldCase(name)];
    if (!slot) {
        slot = std::make_shared<CSimStream>(name);
    }
    return slot;
}

std::vector<std::shared_ptr<CSimStream>> CSimNode::NamedStreams() const {
    std::vector<std::shared_ptr<CSimStream>> streams;
    for (const auto& entry : m_named) {
        streams.push_back(entry.second);
    }
    return streams;
}

void CSimNode::RemoveStream(const std::wstring& name) {
    const auto found = m_named.find(FoldCase(name));
    if (found != m_named.end()) {
        found->second->ReleaseClusters(*m_volume);
        m_named.erase(found);
    }
}

void CSimNode::ReleaseClusters() {
    if (m_main) {
        m_main->ReleaseClusters(*m_volume);
    }
    for (auto& entry : m_named) {
        entry.second->ReleaseClusters(*m_volume);
    }
    for (auto& child : m_children) {
        child.second->ReleaseClusters();
    }
}

std::shared_ptr<CSimNode> CSimNode::Child(const std::wstring& name) const {
    const auto found = m_children.find(FoldCase(name));
    return found != m_children.end() ? found->second : nullptr;
}

void CSimNode::AddChild(const std::shared_ptr<CSimNode>& child) {
    child->m_parent = this;
    m_children[FoldCase(child->m_name)] = child;
}

void CSimNode::RemoveChild(const std::wstring& name) {
    const auto found = m_children.find(FoldCase(name));
    if (found != m_children.end()) {
        found->second->m_parent = nullptr;
        m_children.erase(found);
    }
}

}  // namespace qmz
