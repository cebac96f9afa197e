// The simulated file system's set-up, inspection, fault and journal helpers for tests.
#include <algorithm>
#include <cwctype>

#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_state.h"
#include "platform/win_types.h"

namespace qmz {

namespace {

// "C:\" or "\\?\Volume{...}\" followed by the first `count` components.
std::wstring Prefix(const SimPath& parsed, size_t count) {
    std::wstring path = parsed.root == SimPathRoot::kDriveLetter
                            ? std::wstring(1, parsed.driveLetter) + L":\\"
                            : L"\\\\?\\Volume" + parsed.volumeGuid + L"\\";
    for (size_t i = 0; i < count; ++i) {
        path += parsed.components[i] + (i + 1 < count ? L"\\" : L"");
    }
    return path;
}

}  // namespace

uint32_t CSimFileSystem::AddVolume(wchar_t letter, const std::wstring& guidName,
                                   uint32_t bytesPerSector, uint32_t sectorsPerCluster,
                                   uint64_t totalClusters) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimPath parsed;
    if (ParseSimPath(guidName, &parsed) != ERROR_SUCCESS ||
        parsed.root != SimPathRoot::kVolumeGuid || !parsed.components.empty() ||
        bytesPerSector == 0 || sectorsPerCluster == 0) {
        return ERROR_INVALID_PARAMETER;
    }
    SimPath byLetter;
    byLetter.driveLetter = static_cast<wchar_t>(std::towupper(letter));
    if (m_state->FindVolume(parsed) != nullptr ||
        (letter != 0 && m_state->FindVolume(byLetter) != nullptr)) {
        return ERROR_ALREADY_EXISTS;
    }
    SimGeometry geometry{bytesPerSector, sectorsPerCluster, totalClusters};
    m_state->m_volumes.push_back(
        std::make_unique<CSimVolume>(byLetter.driveLetter, parsed.volumeGuid, geometry));
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::EnsureFolders(const std::wstring& path, size_t count) {
    SimPath parsed;
    uint32_t error = ParseSimPath(path, &parsed);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    for (size_t i = 1; i <= std::min(count, parsed.components.size()); ++i) {
        SimLookup lookup;
        error = m_state->Resolve(Prefix(parsed, i), true, &lookup);
        if (error == ERROR_FILE_NOT_FOUND) {
            lookup.parent->AddChild(
                std::make_shared<CSimNode>(lookup.volume, lookup.leafName, true));
        } else if (error != ERROR_SUCCESS) {
            return error;
        } else if (!lookup.node->IsFolder()) {
            return ERROR_PATH_NOT_FOUND;
        }
    }
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::AddFolder(const std::wstring& path, uint32_t attributes) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    uint32_t error = EnsureFolders(path, SIZE_MAX);
    SimLookup lookup;
    if (error == ERROR_SUCCESS) {
        error = m_state->Resolve(path, true, &lookup);
    }
    if (error == ERROR_SUCCESS && attributes != 0) {
        lookup.node->m_attributes = attributes | FILE_ATTRIBUTE_DIRECTORY;
    }
    return error;
}

uint32_t CSimFileSystem::AddFile(const std::wstring& path, const std::string& data,
                                 uint32_t attributes) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimLookup lookup;
    SimPath parsed;
    uint32_t error = ParseSimPath(path, &parsed);
    if (error == ERROR_SUCCESS && !parsed.components.empty()) {
        error = EnsureFolders(path, parsed.components.size() - 1);
    }
    if (error == ERROR_SUCCESS) {
        error = m_state->Resolve(path, false, &lookup);
    }
    if (error == ERROR_SUCCESS) {
        return ERROR_FILE_EXISTS;
    }
    if (error != ERROR_FILE_NOT_FOUND || lookup.parsed.namesStream) {
        return error == ERROR_FILE_NOT_FOUND ? ERROR_INVALID_NAME : error;
    }
    auto node = std::make_shared<CSimNode>(lookup.volume, lookup.leafName, false);
    node->m_attributes =
        attributes != 0 ? attributes & ~FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    error = node->FindStream(L"")->Write(*lookup.volume, 0,
                                         reinterpret_cast<const uint8_t*>(data.data()),
                                         static_cast<uint32_t>(data.size()));
    if (error != ERROR_SUCCESS) {
        return error;
    }
    lookup.parent->AddChild(node);
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::AddStream(const std::wstring& path, const std::wstring& name,
                                   const std::string& data) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimLookup lookup;
    const uint32_t error = m_state->Resolve(path, false, &lookup);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    CSimNode& node = *lookup.node;
    const auto stream = node.AddStream(name);
    stream->Resize(*node.m_volume, 0);
    return stream->Write(*node.m_volume, 0, reinterpret_cast<const uint8_t*>(data.data()),
                         static_cast<uint32_t>(data.size()));
}

uint32_t CSimFileSystem::FindStreamOf(const std::wstring& path, std::shared_ptr<CSimNode>* node,
                                      std::shared_ptr<CSimStream>* stream, bool* viaHostLink) {
    SimLookup lookup;
    const uint32_t error = viaHostLink != nullptr ? m_state->ResolveForCall(path, false, &lookup)
                                                  : m_state->Resolve(path, false, &lookup);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    *node = lookup.node;
    if (viaHostLink != nullptr) {
        *viaHostLink = lookup.viaHostLink;
    }
    *stream = lookup.node->FindStream(lookup.parsed.streamName);
    if (!*stream && lookup.parsed.namesStream) {
        return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::ChangeStream(
    const std::wstring& path, const std::function<uint32_t(CSimNode&, CSimStream&)>& change) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    std::shared_ptr<CSimNode> node;
    std::shared_ptr<CSimStream> stream;
    const uint32_t error = FindStreamOf(path, &node, &stream);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    return stream ? change(*node, *stream) : ERROR_INVALID_PARAMETER;
}

uint32_t CSimFileSystem::MakeSparse(const std::wstring& path,
                                    const std::vector<AllocatedRange>& allocated) {
    return ChangeStream(path, [&](CSimNode& node, CSimStream& stream) {
        // Sparse from the start, even when keeping the ranges runs out of space.
        const uint32_t error = stream.MakeSparse(*node.m_volume, allocated);
        node.m_attributes |= FILE_ATTRIBUTE_SPARSE_FILE;
        return error;
    });
}

uint32_t CSimFileSystem::SetLayout(const std::wstring& path, const std::vector<Extent>& extents,
                                   uint32_t attribute) {
    return ChangeStream(path, [&](CSimNode& node, CSimStream& stream) {
        const uint32_t error = stream.Remap(*node.m_volume, extents);
        if (error == ERROR_SUCCESS) {
            node.m_attributes |= attribute;
            if (attribute == FILE_ATTRIBUTE_COMPRESSED) {
                stream.m_compression = kCompressionFormatLznt1;
            }
        }
        return error;
    });
}

uint32_t CSimFileSystem::ReplaceData(const std::wstring& path, const std::string& data) {
    return ChangeStream(path, [&](CSimNode& node, CSimStream& stream) {
        // Resized first, so the bytes both versions share stay in their clusters.
        uint32_t error = stream.Resize(*node.m_volume, data.size());
        if (error == ERROR_SUCCESS) {
            error = stream.Write(*node.m_volume, 0, reinterpret_cast<const uint8_t*>(data.data()),
                                 static_cast<uint32_t>(data.size()));
        }
        return error;
    });
}

uint32_t CSimFileSystem::MakeCompressed(const std::wstring& path,
                                        const std::vector<Extent>& extents) {
    return SetLayout(path, extents, FILE_ATTRIBUTE_COMPRESSED);
}

uint32_t CSimFileSystem::MakeEncrypted(const std::wstring& path,
                                       const std::vector<Extent>& extents) {
    return SetLayout(path, extents, FILE_ATTRIBUTE_ENCRYPTED);
}

uint32_t CSimFileSystem::AddLink(const std::wstring& link, bool folder,
                                 std::shared_ptr<CSimNode>* node) {
    SimPath parsed;
    uint32_t error = ParseSimPath(link, &parsed);
    if (error == ERROR_SUCCESS && parsed.components.empty()) {
        error = ERROR_INVALID_NAME;
    }
    if (error == ERROR_SUCCESS) {
        error = EnsureFolders(link, parsed.components.size() - 1);
    }
    SimLookup lookup;
    if (error == ERROR_SUCCESS) {
        error = m_state->Resolve(link, false, &lookup);
    }
    if (error == ERROR_SUCCESS) {
        return ERROR_ALREADY_EXISTS;
    }
    if (error != ERROR_FILE_NOT_FOUND) {
        return error;
    }
    *node = std::make_shared<CSimNode>(lookup.volume, lookup.leafName, folder);
    (*node)->m_attributes =
        (folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE) | FILE_ATTRIBUTE_REPARSE_POINT;
    lookup.parent->AddChild(*node);
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::AddJunction(const std::wstring& link, const std::wstring& target) {
    return AddSymlinkOrJunction(link, target, true, SimReparse::kJunction);
}

uint32_t CSimFileSystem::AddSymlink(const std::wstring& link, const std::wstring& target,
                                    bool folder) {
    return AddSymlinkOrJunction(link, target, folder, SimReparse::kSymlink);
}

uint32_t CSimFileSystem::AddHostLink(const std::wstring& link, const std::wstring& target,
                                     bool folder) {
    return AddSymlinkOrJunction(link, target, folder, SimReparse::kHostLink);
}

uint32_t CSimFileSystem::AddSymlinkOrJunction(const std::wstring& link, const std::wstring& target,
                                              bool folder, SimReparse kind) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    std::shared_ptr<CSimNode> node;
    const uint32_t error = AddLink(link, folder, &node);
    if (error == ERROR_SUCCESS) {
        node->m_reparse = kind;
        node->m_target = target;
    }
    return error;
}

uint32_t CSimFileSystem::AddMountPoint(const std::wstring& folder, const std::wstring& volume) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimPath parsed;
    uint32_t error = ParseSimPath(volume, &parsed);
    CSimVolume* mounted = error == ERROR_SUCCESS ? m_state->FindVolume(parsed) : nullptr;
    if (mounted == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::shared_ptr<CSimNode> node;
    error = AddLink(folder, true, &node);
    if (error == ERROR_SUCCESS) {
        node->m_reparse = SimReparse::kMountPoint;
        node->m_mounted = mounted;
    }
    return error;
}

uint32_t CSimFileSystem::HoldOpen(const std::wstring& path, uint32_t share, uint32_t access) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimLookup lookup;
    uint32_t error = m_state->Resolve(path, false, &lookup);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    const SimOpen open{m_state->m_nextOpenId++, access, share, FoldCase(lookup.parsed.streamName),
                       true};
    error = CSimState::CheckSharing(lookup.node->m_opens, open);
    if (error == ERROR_SUCCESS) {
        lookup.node->m_opens.push_back(open);
    }
    return error;
}

void CSimFileSystem::ReleaseHolds(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimLookup lookup;
    if (m_state->Resolve(path, false, &lookup) != ERROR_SUCCESS) {
        return;
    }
    std::vector<uint64_t> held;
    for (const SimOpen& open : lookup.node->m_opens) {
        if (open.external) {
            held.push_back(open.id);
        }
    }
    for (uint64_t id : held) {
        m_state->Close(*lookup.node, id, false);
    }
}

uint32_t CSimFileSystem::SetNodeFlag(const std::wstring& path, bool CSimNode::*flag, bool value) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimLookup lookup;
    const uint32_t error = m_state->Resolve(path, false, &lookup);
    if (error == ERROR_SUCCESS) {
        (*lookup.node).*flag = value;
    }
    return error;
}

uint32_t CSimFileSystem::SetCannotDelete(const std::wstring& path, bool cannot) {
    return SetNodeFlag(path, &CSimNode::m_cannotDelete, cannot);
}

uint32_t CSimFileSystem::SetRemovalIgnored(const std::wstring& path, bool ignored) {
    return SetNodeFlag(path, &CSimNode::m_removalIgnored, ignored);
}

uint32_t CSimFileSystem::SetCannotRename(const std::wstring& path, bool cannot) {
    return SetNodeFlag(path, &CSimNode::m_cannotRename, cannot);
}

uint32_t CSimFileSystem::SetQuota(const std::wstring& root, uint64_t bytes) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimLookup lookup;
    const uint32_t error = m_state->Resolve(root, true, &lookup);
    if (error == ERROR_SUCCESS) {
        lookup.node->m_volume->SetQuota(bytes);
    }
    return error;
}

bool CSimFileSystem::Exists(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    std::shared_ptr<CSimNode> node;
    std::shared_ptr<CSimStream> stream;
    return FindStreamOf(path, &node, &stream) == ERROR_SUCCESS;
}

std::string CSimFileSystem::ReadAll(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    std::shared_ptr<CSimNode> node;
    std::shared_ptr<CSimStream> stream;
    if (FindStreamOf(path, &node, &stream) != ERROR_SUCCESS || !stream) {
        return std::string();
    }
    std::string data(stream->Size(), '\0');
    stream->Read(*node->m_volume, 0, reinterpret_cast<uint8_t*>(&data[0]),
                 static_cast<uint32_t>(data.size()));
    return data;
}

std::vector<std::wstring> CSimFileSystem::StreamNames(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    std::vector<std::wstring> names;
    SimLookup lookup;
    if (m_state->Resolve(path, false, &lookup) == ERROR_SUCCESS) {
        for (const auto& stream : lookup.node->NamedStreams()) {
            names.push_back(stream->Name());
        }
    }
    return names;
}

uint32_t CSimFileSystem::AttributesOf(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimLookup lookup;
    return m_state->Resolve(path, false, &lookup) == ERROR_SUCCESS ? lookup.node->Attributes()
                                                                   : INVALID_FILE_ATTRIBUTES;
}

std::vector<int64_t> CSimFileSystem::ClustersOf(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    std::shared_ptr<CSimNode> node;
    std::shared_ptr<CSimStream> stream;
    if (FindStreamOf(path, &node, &stream) != ERROR_SUCCESS || !stream) {
        return {};
    }
    return stream->Lcns();
}

std::string CSimFileSystem::ReadClusters(const std::wstring& root, int64_t lcn, uint64_t count) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimLookup lookup;
    if (m_state->Resolve(root, true, &lookup) != ERROR_SUCCESS || lcn < 0) {
        return std::string();
    }
    const CSimVolume& volume = *lookup.node->m_volume;
    std::string data(count * volume.ClusterBytes(), '\0');
    volume.ReadBytes(static_cast<uint64_t>(lcn) * volume.ClusterBytes(),
                     reinterpret_cast<uint8_t*>(&data[0]), data.size());
    return data;
}

bool CSimFileSystem::ZeroOnDeallocationSet(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    std::shared_ptr<CSimNode> node;
    std::shared_ptr<CSimStream> stream;
    return FindStreamOf(path, &node, &stream) == ERROR_SUCCESS && stream &&
           stream->m_zeroOnDeallocation;
}

size_t CSimFileSystem::OpenHandleCount() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    return m_state->m_handles.size();
}

void CSimFileSystem::InjectFault(const SimFault& fault) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    m_state->m_faults.Add(fault);
}

void CSimFileSystem::InjectFault(SimCall call, uint32_t nth, uint32_t error, bool persistent,
                                 const std::wstring& path) {
    InjectFault(SimFault{call, nth, error, persistent, path});
}

void CSimFileSystem::ClearFaults() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    m_state->m_faults.Clear();
}

uint32_t CSimFileSystem::CallCount(SimCall call) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    return m_state->m_faults.CallCount(call);
}

std::vector<SimJournalEntry> CSimFileSystem::Journal() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    return m_state->m_journal.Entries();
}

std::vector<SimJournalEntry> CSimFileSystem::Journal(SimCall call) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    return m_state->m_journal.Filter([&](const SimJournalEntry& e) { return e.call == call; });
}

std::vector<SimJournalEntry> CSimFileSystem::JournalFor(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    return m_state->m_journal.Filter(
        [&](const SimJournalEntry& e) { return EqualsNoCase(e.path, path); });
}

void CSimFileSystem::ClearJournal() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    m_state->m_journal.Clear();
}

void CSimFileSystem::SetWriteObserver(SimWriteObserver observer) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    m_state->m_writeObserver =
        observer ? std::make_shared<const SimWriteObserver>(std::move(observer)) : nullptr;
    m_state->m_observedWrites = 0;
}

}  // namespace qmz
