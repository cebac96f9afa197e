// The volume seam over the simulated machine: its local volumes, where each is mounted,
// their kinds, and the user's network connections.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/volumes.h"

namespace qmz {

class CSimState;
class CSimVolume;

// A folder of one local volume in which a volume is mounted.
struct SimMountFolder {
    const CSimVolume* host = nullptr;
    std::wstring relative;  // below the host's root, with a trailing backslash
    const CSimVolume* mounted = nullptr;
};

class CSimVolumes : public IVolumes {
public:
    explicit CSimVolumes(std::shared_ptr<CSimState> state) : m_state(std::move(state)) {}

    // Local volumes in the order they were added; network shares are no volumes here.
    uint32_t ListVolumes(std::vector<std::wstring>* names) override;
    // The drive-letter root first, then every folder the volume is mounted in, each
    // reached from a drive letter ("C:\mnt\e\"). The multi-string they make takes each
    // path with its NUL and one NUL more.
    uint32_t GetMountPaths(const std::wstring& volumeName, uint32_t bufferChars,
                           std::vector<std::wstring>* paths, uint32_t* requiredChars) override;
    // The kind's drive type at a volume's root or mount folder; kDriveNoRootDir for any
    // other path, kDriveUnknown when the call is failed.
    uint32_t GetDriveType(const std::wstring& root) override;
    uint32_t GetInformation(const std::wstring& root, VolumeInformation* info) override;
    uint32_t ConnectedNetworkDisks(std::vector<std::wstring>* remoteNames) override;

private:
    // The volume whose root or mount folder `root` names; the caller holds the lock.
    uint32_t VolumeAtRoot(const std::wstring& root, const CSimVolume** volume) const;
    // Every mount folder of the local volumes, in volume order; the caller holds the lock.
    std::vector<SimMountFolder> MountFolders() const;
    // Every path from a drive letter that leads to the volume's root.
    std::vector<std::wstring> DosRoots(const CSimVolume& volume,
                                       const std::vector<SimMountFolder>& mounts,
                                       std::set<const CSimVolume*>* visiting) const;

    std::shared_ptr<CSimState> m_state;
};

}  // namespace qmz
