// A file or folder of a simulated volume, with its streams, links and open handles.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_open.h"
#include "platform/sim/sim_stream.h"

namespace qmz {

class CSimVolume;

// kHostLink: a link the file system does not present as one (a host symbolic link under
// Wine): no reparse attribute on a file, and every call by path reaches its target.
enum class SimReparse { kNone, kJunction, kSymlink, kMountPoint, kHostLink };

class CSimNode {
public:
    CSimNode(CSimVolume* volume, const std::wstring& name, bool folder);

    bool IsFolder() const { return m_folder; }
    // Attributes as GetFileAttributesW reports them.
    uint32_t Attributes() const;
    // The attributes of this object reached through a host link: Wine marks a folder
    // link as a reparse point and leaves a file link looking like its target.
    uint32_t AttributesThroughHostLink() const;
    // The stream for `name` ("" is the main stream of a file); null when absent.
    std::shared_ptr<CSimStream> FindStream(const std::wstring& name) const;
    std::shared_ptr<CSimStream> AddStream(const std::wstring& name);
    // Named streams in name order.
    std::vector<std::shared_ptr<CSimStream>> NamedStreams() const;
    void RemoveStream(const std::wstring& name);
    void ReleaseClusters();

    std::shared_ptr<CSimNode> Child(const std::wstring& name) const;
    void AddChild(const std::shared_ptr<CSimNode>& child);
    void RemoveChild(const std::wstring& name);

    CSimVolume* m_volume;
    CSimNode* m_parent = nullptr;
    std::wstring m_name;
    uint32_t m_attributes = 0;
    SimReparse m_reparse = SimReparse::kNone;
    std::wstring m_target;            // junction or symbolic link target
    CSimVolume* m_mounted = nullptr;  // the volume mounted here
    bool m_cannotDelete = false;
    bool m_cannotRename = false;
    // Delete and RemoveFolder report success and leave the object (an immutable folder).
    bool m_removalIgnored = false;
    bool m_deletePending = false;
    std::vector<SimOpen> m_opens;
    std::map<std::wstring, std::shared_ptr<CSimNode>> m_children;  // by folded name

private:
    bool m_folder;
    std::shared_ptr<CSimStream> m_main;
    std::map<std::wstring, std::shared_ptr<CSimStream>> m_named;  // by folded name
};

}  // namespace qmz
