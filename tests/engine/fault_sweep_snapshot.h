// What a fault sweep compares before and after a run: every object of the simulated
// volumes as the disk holds it, down to the raw clusters of each stream.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/sim_file_system.h"

namespace qmz {

struct SweepStream {
    std::wstring name;  // empty for a file's main stream
    std::string data;
    std::vector<int64_t> lcns;  // by VCN; -1 for a hole
    std::string clusters;       // the raw bytes of the allocated clusters, in VCN order
    bool operator==(const SweepStream& o) const {
        return name == o.name && data == o.data && lcns == o.lcns && clusters == o.clusters;
    }
};

struct SweepObject {
    uint32_t attributes = 0;
    std::vector<SweepStream> streams;  // a file's main stream first, then the named ones
};

// By full path ("C:\dir\name"); volume roots themselves are not listed.
using SweepTree = std::map<std::wstring, SweepObject>;

// Lists every object under `roots` ("C:\") through the seam (so only with no fault
// armed). Links and mount points are recorded as they stand and never entered.
SweepTree SnapshotTree(CSimFileSystem& sim, const std::vector<std::wstring>& roots);

// "C:\" of a drive-letter path.
std::wstring RootOf(const std::wstring& path);

// One raw cluster of the volume that holds `path`.
std::string ClusterAt(CSimFileSystem& sim, const std::wstring& path, int64_t lcn);

}  // namespace qmz
