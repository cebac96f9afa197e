// Everything the simulated file system and its open handles share, under one lock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_journal.h"
#include "platform/sim/sim_node.h"
#include "platform/sim/sim_path.h"
#include "platform/sim/sim_volume.h"

namespace qmz {

// Where a path leads: the object, or the folder where it would be created.
struct SimLookup {
    SimPath parsed;
    CSimVolume* volume = nullptr;
    std::shared_ptr<CSimNode> parent;  // the folder that holds (or would hold) the last name
    std::shared_ptr<CSimNode> node;    // null when the last name does not exist
    std::wstring leafName;
    // The last name was a host link, followed to `node` whatever the caller asked.
    bool viaHostLink = false;
};

// A handle the code under test holds. When the simulated process ends, the state ends
// every such handle as Windows does: closed, with its delete-on-close applied.
class ISimHandle {
public:
    // Closes the handle under the state's lock; later calls on it fail.
    virtual void EndLocked() = 0;

protected:
    ~ISimHandle() = default;
};

// One network connection of the user: a share reached by a drive letter or without one.
struct SimNetworkConnection {
    std::wstring remoteName;  // "\\server\share"
    wchar_t letter = 0;
};

class CSimState {
public:
    CSimVolume* FindVolume(const SimPath& path) const;

    // Links and mount points inside the path are followed; the last component only when
    // `followLast`. ERROR_FILE_NOT_FOUND leaves `parent` and `leafName` for a create.
    uint32_t Resolve(const std::wstring& path, bool followLast, SimLookup* lookup) const;
    // Resolve as a call by path sees it: a host link is followed even when it is the
    // last name (set-up and inspection see the link itself).
    uint32_t ResolveForCall(const std::wstring& path, bool followLast, SimLookup* lookup) const;
    // The object a link or mount point stands for (the node itself when it is neither).
    uint32_t Follow(std::shared_ptr<CSimNode> node, std::shared_ptr<CSimNode>* target) const;

    // "C:\dir\name" of an object, by its volume's display root.
    std::wstring PathOf(const CSimNode& node) const;
    std::wstring StreamPathOf(const CSimNode& node, const std::wstring& stream) const;

    // ERROR_SHARING_VIOLATION when `wanted` conflicts with an open of the object.
    static uint32_t CheckSharing(const std::vector<SimOpen>& opens, const SimOpen& wanted);
    // Ends one open; the last open of an object marked for deletion removes it.
    void Close(CSimNode& node, uint64_t openId, bool deleteOnClose);
    void Unlink(CSimNode& node);

    // The injected fault for this call, if any, else ResolveForCall of `path`.
    uint32_t CheckAndResolve(SimCall call, const std::wstring& path, bool followLast,
                             SimLookup* lookup);

    void Journal(SimCall call, const CSimNode& node, const std::wstring& stream, uint64_t offset,
                 uint64_t length, const uint8_t* data = nullptr, uint64_t requested = 0);
    // After a journaled write or zeroing: releases `lock`, then tells the write observer,
    // so that it may call back into the simulation.
    void ReleaseAfterWrite(std::unique_lock<std::mutex>& lock, const std::wstring& path);

    std::mutex m_mutex;
    std::vector<std::unique_ptr<CSimVolume>> m_volumes;
    CSimJournal m_journal;
    CSimFaults m_faults;
    uint64_t m_nextOpenId = 1;
    // Copied under the lock by each write, so it can be replaced while writes run.
    std::shared_ptr<const SimWriteObserver> m_writeObserver;
    uint32_t m_observedWrites = 0;    // since the observer was set
    std::set<ISimHandle*> m_handles;  // file, device and find handles not yet closed
    std::vector<SimNetworkConnection> m_connections;

private:
    uint32_t ResolveAt(const std::wstring& path, bool followLast, int depth,
                       SimLookup* lookup) const;
    uint32_t FollowAt(std::shared_ptr<CSimNode> node, int depth,
                      std::shared_ptr<CSimNode>* target) const;
};

}  // namespace qmz
