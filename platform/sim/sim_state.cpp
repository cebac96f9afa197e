#include "platform/sim/sim_state.h"

#include "platform/win_types.h"

namespace qmz {

namespace {

// NTFS gives up on chains of links this long.
constexpr int kMaxLinkDepth = 31;
// ERROR_BAD_NETPATH: no share of that name is reachable.
constexpr uint32_t kErrorBadNetPath = 53;

}  // namespace

CSimVolume* CSimState::FindVolume(const SimPath& path) const {
    for (const auto& volume : m_volumes) {
        const bool byLetter = path.driveLetter != 0 && volume->Letter() == path.driveLetter;
        const bool byGuid =
            !path.volumeGuid.empty() && EqualsNoCase(volume->Guid(), path.volumeGuid);
        const bool byShare = !path.share.empty() && EqualsNoCase(volume->Share(), path.share);
        if (byLetter || byGuid || byShare) {
            return volume.get();
        }
    }
    return nullptr;
}

uint32_t CSimState::Resolve(const std::wstring& path, bool followLast, SimLookup* lookup) const {
    return ResolveAt(path, followLast, 0, lookup);
}

uint32_t CSimState::ResolveForCall(const std::wstring& path, bool followLast,
                                   SimLookup* lookup) const {
    const uint32_t error = Resolve(path, followLast, lookup);
    if (error != ERROR_SUCCESS || lookup->node->m_reparse != SimReparse::kHostLink) {
        return error;
    }
    lookup->viaHostLink = true;
    return Follow(lookup->node, &lookup->node);
}

uint32_t CSimState::Follow(std::shared_ptr<CSimNode> node,
                           std::shared_ptr<CSimNode>* target) const {
    return FollowAt(std::move(node), 0, target);
}

uint32_t CSimState::FollowAt(std::shared_ptr<CSimNode> node, int depth,
                             std::shared_ptr<CSimNode>* target) const {
    while (node->m_reparse != SimReparse::kNone) {
        if (++depth > kMaxLinkDepth) {
            return ERROR_CANT_RESOLVE_FILENAME;
        }
        if (node->m_reparse == SimReparse::kMountPoint) {
            node = node->m_mounted->Root();
            continue;
        }
        SimLookup next;
        const uint32_t error = ResolveAt(node->m_target, true, depth, &next);
        if (error != ERROR_SUCCESS) {
            return error;
        }
        node = next.node;
    }
    *target = node;
    return ERROR_SUCCESS;
}

uint32_t CSimState::ResolveAt(const std::wstring& path, bool followLast, int depth,
                              SimLookup* lookup) const {
    *lookup = SimLookup();
    uint32_t error = ParseSimPath(path, &lookup->parsed);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (lookup->parsed.root == SimPathRoot::kDevice) {
        return ERROR_INVALID_PARAMETER;
    }
    lookup->volume = FindVolume(lookup->parsed);
    if (lookup->volume == nullptr) {
        return lookup->parsed.root == SimPathRoot::kShare ? kErrorBadNetPath : ERROR_PATH_NOT_FOUND;
    }
    if (!lookup->volume->Kind().mediaPresent) {
        return ERROR_NOT_READY;
    }
    std::shared_ptr<CSimNode> node = lookup->volume->Root();
    const std::vector<std::wstring>& names = lookup->parsed.components;
    for (size_t i = 0; i < names.size(); ++i) {
        const bool last = i + 1 == names.size();
        if (!node->IsFolder()) {
            return ERROR_PATH_NOT_FOUND;
        }
        std::shared_ptr<CSimNode> child = node->Child(names[i]);
        lookup->parent = node;
        lookup->volume = node->m_volume;  // past a mount point, the mounted volume
        lookup->leafName = names[i];
        if (!child) {
            return last ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
        }
        if (!last || followLast) {
            error = FollowAt(child, depth, &child);
            if (error != ERROR_SUCCESS) {
                return last || error != ERROR_FILE_NOT_FOUND ? error : ERROR_PATH_NOT_FOUND;
            }
        }
        node = child;
    }
    if (names.empty() && followLast) {
        lookup->leafName.clear();
    }
    lookup->node = node;
    return ERROR_SUCCESS;
}

std::wstring CSimState::PathOf(const CSimNode& node) const {
    std::wstring path;
    const CSimNode* at = &node;
    while (at->m_parent != nullptr) {
        path = (path.empty() ? at->m_name : at->m_name + L"\\" + path);
        at = at->m_parent;
    }
    if (at != at->m_volume->Root().get()) {
        return node.m_name;  // already unlinked
    }
    return at->m_volume->DisplayRoot() + path;
}

std::wstring CSimState::StreamPathOf(const CSimNode& node, const std::wstring& stream) const {
    return stream.empty() ? PathOf(node) : PathOf(node) + L":" + stream;
}

uint32_t CSimState::CheckSharing(const std::vector<SimOpen>& opens, const SimOpen& wanted) {
    for (const SimOpen& held : opens) {
        if (SharingConflict(wanted, held)) {
            return ERROR_SHARING_VIOLATION;
        }
    }
    return ERROR_SUCCESS;
}

void CSimState::Close(CSimNode& node, uint64_t openId, bool deleteOnClose) {
    for (auto it = node.m_opens.begin(); it != node.m_opens.end(); ++it) {
        if (it->id == openId) {
            node.m_opens.erase(it);
            break;
        }
    }
    // A folder that still holds entries is not deleted: NTFS refuses the disposition.
    const bool notEmpty =
        node.IsFolder() && node.m_reparse == SimReparse::kNone && !node.m_children.empty();
    if (deleteOnClose && !node.m_deletePending && node.m_parent != nullptr && !notEmpty) {
        node.m_deletePending = true;
        Journal(SimCall::kDelete, node, L"", 0, 0);
    }
    if (node.m_deletePending && node.m_opens.empty()) {
        Unlink(node);
    }
}

void CSimState::Unlink(CSimNode& node) {
    node.ReleaseClusters();
    if (node.m_parent != nullptr) {
        node.m_parent->RemoveChild(node.m_name);
    }
}

uint32_t CSimState::CheckAndResolve(SimCall call, const std::wstring& path, bool followLast,
                                    SimLookup* lookup) {
    const uint32_t error = m_faults.Check(call, path);
    return error != ERROR_SUCCESS ? error : ResolveForCall(path, followLast, lookup);
}

void CSimState::Journal(SimCall call, const CSimNode& node, const std::wstring& stream,
                        uint64_t offset, uint64_t length, const uint8_t* data, uint64_t requested) {
    SimJournalEntry entry;
    entry.call = call;
    entry.path = PathOf(node);
    entry.stream = stream;
    entry.offset = offset;
    entry.length = length;
    entry.requested = requested;
    if (data != nullptr) {
        entry.Describe(data, length);
    }
    m_journal.Add(entry);
}

void CSimState::ReleaseAfterWrite(std::unique_lock<std::mutex>& lock, const std::wstring& path) {
    const std::shared_ptr<const SimWriteObserver> observer = m_writeObserver;
    const uint32_t number = ++m_observedWrites;
    lock.unlock();
    if (observer) {
        (*observer)(number, path);
    }
}

}  // namespace qmz
