#include "tests/engine/fault_sweep_report.h"

namespace qmz {
namespace {

// "1-4,7": the positions at which a fault broke the same guarantee.
std::string Ranges(const std::vector<uint32_t>& values) {
    std::string text;
    for (size_t i = 0; i < values.size();) {
        size_t j = i;
        while (j + 1 < values.size() && values[j + 1] == values[j] + 1) {
            ++j;
        }
        text += (text.empty() ? "" : ",") + std::to_string(values[i]);
        if (j > i) {
            text += "-" + std::to_string(values[j]);
        }
        i = j + 1;
    }
    return text;
}

struct CallName {
    SimCall call;
    const char* name;
};

// By enumerator, so that kinds added anywhere in the list keep their names right.
constexpr CallName kCallNames[] = {
    {SimCall::kOpen, "Open"},
    {SimCall::kRead, "Read"},
    {SimCall::kWrite, "Write"},
    {SimCall::kSeek, "Seek"},
    {SimCall::kSetEndOfFile, "SetEndOfFile"},
    {SimCall::kFlush, "Flush"},
    {SimCall::kGetSize, "GetSize"},
    {SimCall::kQueryStreams, "QueryStreams"},
    {SimCall::kMove, "Move"},
    {SimCall::kDelete, "Delete"},
    {SimCall::kRemoveDirectory, "RemoveDirectory"},
    {SimCall::kCreateDirectory, "CreateDirectory"},
    {SimCall::kMakeWritable, "MakeWritable"},
    {SimCall::kSetAttributes, "SetAttributes"},
    {SimCall::kFindFirst, "FindFirst"},
    {SimCall::kFindNext, "FindNext"},
    {SimCall::kGetAttributes, "GetAttributes"},
    {SimCall::kGetVolumePathName, "GetVolumePathName"},
    {SimCall::kGetVolumeNameForMountPoint, "GetVolumeNameForMountPoint"},
    {SimCall::kGetDiskFreeSpace, "GetDiskFreeSpace"},
    {SimCall::kQueryAllocatedRanges, "QueryAllocatedRanges"},
    {SimCall::kSetZeroData, "SetZeroData"},
    {SimCall::kSetZeroOnDeallocation, "SetZeroOnDeallocation"},
    {SimCall::kGetRetrievalPointers, "GetRetrievalPointers"},
    {SimCall::kGetFinalPath, "GetFinalPath"},
    {SimCall::kGetReparsePoint, "GetReparsePoint"},
    {SimCall::kSetCompression, "SetCompression"},
    {SimCall::kGetLengthInfo, "GetLengthInfo"},
    {SimCall::kListVolumes, "ListVolumes"},
    {SimCall::kGetMountPaths, "GetMountPaths"},
    {SimCall::kGetDriveType, "GetDriveType"},
    {SimCall::kGetVolumeInformation, "GetVolumeInformation"},
    {SimCall::kConnectedNetworkDisks, "ConnectedNetworkDisks"},
};

}  // namespace

std::string SimCallName(SimCall call) {
    for (const CallName& known : kCallNames) {
        if (known.call == call) {
            return known.name;
        }
    }
    return "call kind " + std::to_string(static_cast<int>(call));  // one added since
}

void CSweepReport::Add(const std::string& scenario, const SweepFault& fault,
                       const SweepFinding& finding) {
    const auto unfaulted = m_groups.find(Key(scenario, SweepFault(), finding.check));
    if (fault.mode != SweepFault().mode && unfaulted != m_groups.end()) {
        ++unfaulted->second.alsoFaulted;
        return;
    }
    const std::string key = Key(scenario, fault, finding.check);
    auto found = m_groups.find(key);
    if (found == m_groups.end()) {
        found = m_groups.emplace(key, Group{{}, finding.detail}).first;
        m_order.push_back(key);
    }
    found->second.nths.push_back(fault.nth);
}

std::string CSweepReport::Key(const std::string& scenario, const SweepFault& fault,
                              const std::string& check) {
    return scenario + " | " + fault.call + " " + fault.mode + " | " + check;
}

std::string CSweepReport::Summary(size_t maxLines) const {
    std::string text;
    for (size_t i = 0; i < m_order.size() && i < maxLines; ++i) {
        const Group& group = m_groups.at(m_order[i]);
        text += m_order[i] + " | nth " + Ranges(group.nths) + " (" +
                std::to_string(group.nths.size()) + " runs";
        if (group.alsoFaulted != 0) {
            text += ", and " + std::to_string(group.alsoFaulted) + " faulted";
        }
        text += "), first: " + group.firstDetail + "\n";
    }
    if (m_order.size() > maxLines) {
        text += "... and " + std::to_string(m_order.size() - maxLines) + " more\n";
    }
    return text;
}

}  // namespace qmz
