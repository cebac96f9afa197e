#include "platform/sim/sim_file_system.h"

#include <algorithm>

#include "platform/sim/sim_device_handle.h"
#include "platform/sim/sim_file_handle.h"
#include "platform/sim/sim_find_handle.h"
#include "platform/sim/sim_state.h"
#include "platform/sim/sim_volumes.h"
#include "platform/win_types.h"

namespace qmz {

namespace {

// Attribute bits that SetFileAttributesW may change.
constexpr uint32_t kSettableAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// What DeleteFileW, RemoveDirectoryW and MoveFileW open the object with.
const SimOpen kDeleteOpen{0, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, L"",
                          false};

bool IsRoot(const CSimNode& node) {
    return &node == node.m_volume->Root().get();
}

}  // namespace

CSimFileSystem::CSimFileSystem()
    : m_state(std::make_shared<CSimState>()), m_volumes(std::make_unique<CSimVolumes>(m_state)) {}

CSimFileSystem::~CSimFileSystem() = default;

uint32_t CSimFileSystem::GetAttributes(const std::wstring& path, uint32_t* attributes) {
    FileAttributeData data;
    const uint32_t error = GetAttributesEx(path, &data);
    *attributes = error == ERROR_SUCCESS ? data.attributes : INVALID_FILE_ATTRIBUTES;
    return error;
}

uint32_t CSimFileSystem::GetAttributesEx(const std::wstring& path, FileAttributeData* data) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    uint32_t error = m_state->m_faults.Check(SimCall::kGetAttributes, path);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    std::shared_ptr<CSimNode> node;
    std::shared_ptr<CSimStream> stream;
    bool viaHostLink = false;
    error = FindStreamOf(path, &node, &stream, &viaHostLink);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    // A stream path reports the attributes of the file that holds it.
    data->attributes = viaHostLink ? node->AttributesThroughHostLink() : node->Attributes();
    data->size = stream && node->m_reparse == SimReparse::kNone ? stream->Size() : 0;
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::SetAttributes(const std::wstring& path, uint32_t attributes) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimLookup lookup;
    uint32_t error = m_state->CheckAndResolve(SimCall::kSetAttributes, path, false, &lookup);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    CSimNode& node = *lookup.node;
    node.m_attributes =
        (node.m_attributes & ~kSettableAttributes) | (attributes & kSettableAttributes);
    m_state->Journal(SimCall::kSetAttributes, node, L"", attributes, 0);
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::MakeWritable(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimLookup lookup;
    uint32_t error = m_state->CheckAndResolve(SimCall::kMakeWritable, path, false, &lookup);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    lookup.node->m_attributes &= ~FILE_ATTRIBUTE_READONLY;
    m_state->Journal(SimCall::kMakeWritable, *lookup.node, L"", 0, 0);
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::FindFirst(const std::wstring& pattern, std::unique_ptr<IFindHandle>* find,
                                   FindData* first) {
    // Declared before the lock: a handle given up on is destroyed after it is released.
    std::unique_ptr<CSimFindHandle> handle;
    find->reset();  // closing takes the lock
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    uint32_t error = m_state->m_faults.Check(SimCall::kFindFirst, pattern);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    const size_t slash = pattern.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? L"" : pattern.substr(slash + 1);
    if (name.empty()) {
        return ERROR_FILE_NOT_FOUND;  // "C:\" or "dir\" names no entry
    }
    SimLookup lookup;
    if (!HasWildcard(name)) {
        // Wine's FindFirstFileW finds "file" for "file." even in a "\\?\" path.
        name.resize(name.find_last_not_of(L'.') + 1);
        error = m_state->ResolveForCall(pattern.substr(0, slash + 1) + name, false, &lookup);
        if (error == ERROR_SUCCESS && lookup.parsed.namesStream) {
            error = ERROR_INVALID_NAME;
        }
        if (error != ERROR_SUCCESS) {
            return error;
        }
        *first = CSimFindHandle::Describe(
            *lookup.node, lookup.viaHostLink ? lookup.leafName : lookup.node->m_name,
            lookup.viaHostLink);
        *find = std::make_unique<CSimFindHandle>(m_state);
        return ERROR_SUCCESS;
    }
    // The folder part is reached like any path: links and mount points in it are followed.
    error = m_state->Resolve(pattern.substr(0, slash + 1), true, &lookup);
    if (error != ERROR_SUCCESS || !lookup.node->IsFolder()) {
        return ERROR_PATH_NOT_FOUND;
    }
    handle = std::make_unique<CSimFindHandle>(m_state, lookup.node, name, !IsRoot(*lookup.node));
    error = handle->NextLocked(first);
    if (error != ERROR_SUCCESS) {
        return error == ERROR_NO_MORE_FILES ? ERROR_FILE_NOT_FOUND : error;
    }
    *find = std::move(handle);
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::Open(const std::wstring& path, uint32_t access, uint32_t share,
                              uint32_t disposition, uint32_t flags,
                              std::unique_ptr<IFileHandle>* handle) {
    handle->reset();  // closing takes the lock
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const uint32_t error = m_state->m_faults.Check(SimCall::kOpen, path);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    SimPath parsed;
    if (ParseSimPath(path, &parsed) == ERROR_SUCCESS && parsed.root == SimPathRoot::kDevice) {
        return OpenDevice(path, access, share, flags, handle);
    }
    return OpenObject(path, access, share, disposition, flags, handle);
}

uint32_t CSimFileSystem::OpenDevice(const std::wstring& path, uint32_t access, uint32_t share,
                                    uint32_t flags, std::unique_ptr<IFileHandle>* handle) {
    SimPath parsed;
    ParseSimPath(path, &parsed);
    CSimVolume* volume = m_state->FindVolume(parsed);
    if (volume == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    const SimOpen open{m_state->m_nextOpenId++, access, share, L"", false};
    const uint32_t error = CSimState::CheckSharing(volume->m_deviceOpens, open);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    volume->m_deviceOpens.push_back(open);
    *handle = std::make_unique<CSimDeviceHandle>(m_state, volume, open.id, access, flags);
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::OpenObject(const std::wstring& path, uint32_t access, uint32_t share,
                                    uint32_t disposition, uint32_t flags,
                                    std::unique_ptr<IFileHandle>* handle) {
    SimLookup lookup;
    const bool followLast = (flags & FILE_FLAG_OPEN_REPARSE_POINT) == 0;
    uint32_t error = m_state->ResolveForCall(path, followLast, &lookup);
    const bool creates = disposition != OPEN_EXISTING && disposition != TRUNCATE_EXISTING;
    if (error == ERROR_FILE_NOT_FOUND && creates) {
        if (lookup.parent->m_deletePending || lookup.parsed.trailingSlash) {
            return ERROR_ACCESS_DENIED;
        }
        auto node = std::make_shared<CSimNode>(lookup.volume, lookup.leafName, false);
        node->m_attributes = (flags & kSettableAttributes) | FILE_ATTRIBUTE_ARCHIVE;
        lookup.parent->AddChild(node);
        lookup.node = node;
        disposition = OPEN_EXISTING;
        error = ERROR_SUCCESS;
    }
    if (error != ERROR_SUCCESS) {
        return error;
    }
    CSimNode& node = *lookup.node;
    if (node.m_deletePending) {
        return ERROR_ACCESS_DENIED;
    }
    if (flags & FILE_FLAG_DELETE_ON_CLOSE) {
        access |= DELETE;  // CreateFileW asks for it on the caller's behalf
    }
    std::shared_ptr<CSimStream> stream;
    const std::wstring& streamName = lookup.parsed.streamName;
    if (lookup.parsed.namesStream && !(node.IsFolder() && streamName.empty())) {
        stream = node.FindStream(streamName);
        if (!stream && !creates) {
            return ERROR_FILE_NOT_FOUND;
        }
        if (stream && disposition == CREATE_NEW) {
            return ERROR_FILE_EXISTS;
        }
    } else if (node.IsFolder()) {
        if ((flags & FILE_FLAG_BACKUP_SEMANTICS) == 0 || lookup.parsed.namesStream) {
            return ERROR_ACCESS_DENIED;  // folders open only with backup semantics
        }
        if (disposition == CREATE_NEW) {
            return ERROR_ALREADY_EXISTS;
        }
    } else {
        if (disposition == CREATE_NEW) {
            return ERROR_FILE_EXISTS;
        }
        stream = node.FindStream(L"");
    }
    const bool readOnly = (node.m_attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && (access & (kSimWriteAccess | kSimDeleteAccess))) {
        return ERROR_ACCESS_DENIED;
    }
    const bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    const uint32_t kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (disposition == CREATE_ALWAYS && stream && stream->Name().empty() &&
        (node.m_attributes & kHiddenSystem & ~flags) != 0) {
        return ERROR_ACCESS_DENIED;  // replacing a hidden or system file must say so
    }
    const SimOpen open{m_state->m_nextOpenId++, access, share,
                       FoldCase(lookup.parsed.namesStream ? streamName : L""), false};
    error = CSimState::CheckSharing(node.m_opens, open);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (!stream && lookup.parsed.namesStream) {
        stream = node.AddStream(streamName);
    }
    if (truncates && stream) {
        if (stream->Size() > 0) {
            m_state->Journal(SimCall::kSetEndOfFile, node, stream->Name(), 0, 0);
        }
        stream->Resize(*node.m_volume, 0);
        if (disposition == CREATE_ALWAYS && stream->Name().empty()) {
            // Replacing a file replaces its named streams and attributes as well.
            for (const auto& named : node.NamedStreams()) {
                node.RemoveStream(named->Name());
            }
            node.m_attributes = (flags & kSettableAttributes) | FILE_ATTRIBUTE_ARCHIVE;
        }
    }
    node.m_opens.push_back(open);
    *handle =
        std::make_unique<CSimFileHandle>(m_state, lookup.node, stream, open.id, access, flags);
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::CreateFolder(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    uint32_t error = m_state->m_faults.Check(SimCall::kCreateDirectory, path);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    SimLookup lookup;
    error = m_state->Resolve(path, false, &lookup);
    if (error == ERROR_SUCCESS) {
        return ERROR_ALREADY_EXISTS;
    }
    if (error != ERROR_FILE_NOT_FOUND) {
        return error;
    }
    if (lookup.parsed.namesStream) {
        return ERROR_INVALID_NAME;
    }
    if (lookup.parent->m_deletePending) {
        return ERROR_ACCESS_DENIED;
    }
    auto node = std::make_shared<CSimNode>(lookup.volume, lookup.leafName, true);
    lookup.parent->AddChild(node);
    m_state->Journal(SimCall::kCreateDirectory, *node, L"", 0, 0);
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::Move(const std::wstring& from, const std::wstring& to) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    uint32_t error = m_state->m_faults.Check(SimCall::kMove, from);
    SimLookup source;
    if (error == ERROR_SUCCESS) {
        error = m_state->ResolveForCall(from, false, &source);
    }
    if (error != ERROR_SUCCESS) {
        return error;
    }
    SimLookup target;
    error = m_state->ResolveForCall(to, false, &target);
    if (error == ERROR_SUCCESS && target.node != source.node) {
        return ERROR_ALREADY_EXISTS;
    }
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) {
        return error;
    }
    if (source.parsed.namesStream || target.parsed.namesStream) {
        return ERROR_INVALID_NAME;
    }
    const std::shared_ptr<CSimNode> node = source.node;
    if (IsRoot(*node) || node->m_cannotRename || node->m_deletePending ||
        target.parent->m_deletePending) {
        return ERROR_ACCESS_DENIED;
    }
    if (target.parent->m_volume != node->m_volume) {
        return ERROR_NOT_SAME_DEVICE;
    }
    for (const CSimNode* up = target.parent.get(); up != nullptr; up = up->m_parent) {
        if (up == node.get()) {
            return ERROR_ACCESS_DENIED;  // into its own subtree
        }
    }
    error = CSimState::CheckSharing(node->m_opens, kDeleteOpen);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    SimJournalEntry entry;
    entry.call = SimCall::kMove;
    entry.path = m_state->PathOf(*node);
    node->m_parent->RemoveChild(node->m_name);
    node->m_name = target.leafName;
    target.parent->AddChild(node);
    entry.target = m_state->PathOf(*node);
    m_state->m_journal.Add(entry);
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::Remove(CSimNode& node, SimCall call) {
    if (IsRoot(node) || node.m_cannotDelete || node.m_deletePending ||
        (node.m_attributes & FILE_ATTRIBUTE_READONLY)) {
        return ERROR_ACCESS_DENIED;
    }
    const uint32_t error = CSimState::CheckSharing(node.m_opens, kDeleteOpen);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (node.m_removalIgnored) {
        return ERROR_SUCCESS;
    }
    m_state->Journal(call, node, L"", 0, 0);
    if (node.m_opens.empty()) {
        m_state->Unlink(node);
    } else {
        node.m_deletePending = true;  // the name goes when the last handle closes
    }
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::Delete(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimLookup lookup;
    uint32_t error = m_state->CheckAndResolve(SimCall::kDelete, path, false, &lookup);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    CSimNode& node = *lookup.node;
    const std::wstring& streamName = lookup.parsed.streamName;
    if (!streamName.empty()) {
        const auto stream = node.FindStream(streamName);
        if (!stream) {
            return ERROR_FILE_NOT_FOUND;
        }
        if (node.m_attributes & FILE_ATTRIBUTE_READONLY) {
            return ERROR_ACCESS_DENIED;
        }
        SimOpen wanted = kDeleteOpen;
        wanted.streamKey = FoldCase(streamName);
        for (const SimOpen& held : node.m_opens) {
            if (held.streamKey == wanted.streamKey && SharingConflict(wanted, held)) {
                return ERROR_SHARING_VIOLATION;
            }
        }
        m_state->Journal(SimCall::kDelete, node, stream->Name(), 0, 0);
        node.RemoveStream(streamName);
        return ERROR_SUCCESS;
    }
    if (node.IsFolder()) {
        return ERROR_ACCESS_DENIED;
    }
    return Remove(node, SimCall::kDelete);
}

uint32_t CSimFileSystem::RemoveFolder(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimLookup lookup;
    uint32_t error = m_state->CheckAndResolve(SimCall::kRemoveDirectory, path, false, &lookup);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    CSimNode& node = *lookup.node;
    if (!node.IsFolder() || lookup.parsed.namesStream) {
        return ERROR_DIRECTORY;
    }
    // A link or mount point is removed by itself; what it leads to is not looked at.
    if (node.m_reparse == SimReparse::kNone && !node.m_children.empty()) {
        return ERROR_DIR_NOT_EMPTY;
    }
    return Remove(node, SimCall::kRemoveDirectory);
}

uint32_t CSimFileSystem::GetVolumePath(const std::wstring& path, std::wstring* volumePath) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    uint32_t error = m_state->m_faults.Check(SimCall::kGetVolumePathName, path);
    SimPath parsed;
    if (error == ERROR_SUCCESS) {
        error = ParseSimPath(path, &parsed);
    }
    if (error != ERROR_SUCCESS) {
        return error;
    }
    CSimVolume* volume = m_state->FindVolume(parsed);
    if (volume == nullptr || parsed.root == SimPathRoot::kDevice) {
        return ERROR_PATH_NOT_FOUND;
    }
    std::wstring walked = volume->GuidName();
    if (parsed.root == SimPathRoot::kDriveLetter) {
        walked = std::wstring(1, parsed.driveLetter) + L":\\";
    } else if (parsed.root == SimPathRoot::kShare) {
        walked = volume->Share() + L"\\";
    }
    *volumePath = walked;
    // The deepest mount point on the way is the volume; other links are not followed.
    std::shared_ptr<CSimNode> node = volume->Root();
    for (const std::wstring& name : parsed.components) {
        std::shared_ptr<CSimNode> child = node->IsFolder() ? node->Child(name) : nullptr;
        if (!child) {
            break;
        }
        walked += name + L"\\";
        if (child->m_reparse == SimReparse::kMountPoint) {
            *volumePath = walked;
            child = child->m_mounted->Root();
        } else if (child->m_reparse != SimReparse::kNone) {
            break;
        }
        node = child;
    }
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::GetVolumeNameForMountPoint(const std::wstring& mountPoint,
                                                    std::wstring* volumeName) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    uint32_t error = m_state->m_faults.Check(SimCall::kGetVolumeNameForMountPoint, mountPoint);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (mountPoint.empty() || mountPoint.back() != L'\\') {
        return ERROR_INVALID_NAME;
    }
    SimLookup lookup;
    error = m_state->Resolve(mountPoint, false, &lookup);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    const CSimNode& node = *lookup.node;
    if (IsRoot(node) && node.m_volume->IsShare()) {
        return ERROR_INVALID_PARAMETER;  // a share is no volume of this machine
    }
    if (IsRoot(node)) {
        *volumeName = node.m_volume->GuidName();
        return ERROR_SUCCESS;
    }
    if (node.m_reparse == SimReparse::kMountPoint) {
        *volumeName = node.m_mounted->GuidName();
        return ERROR_SUCCESS;
    }
    // A junction carries the same reparse tag but names a folder, not a volume.
    return node.m_reparse == SimReparse::kNone ? ERROR_NOT_A_REPARSE_POINT
                                               : ERROR_INVALID_PARAMETER;
}

// The volume that holds `folder`, as the free-space calls see it. Caller holds the lock.
uint32_t CSimFileSystem::VolumeOfFolder(const std::wstring& folder, const CSimVolume** volume) {
    SimLookup lookup;
    uint32_t error = m_state->CheckAndResolve(SimCall::kGetDiskFreeSpace, folder, true, &lookup);
    if (error == ERROR_SUCCESS && !lookup.node->IsFolder()) {
        error = ERROR_DIRECTORY;
    }
    if (error == ERROR_SUCCESS) {
        *volume = lookup.node->m_volume;
    }
    return error;
}

uint32_t CSimFileSystem::QueryFreeSpace(const std::wstring& root, DiskFreeSpace* space) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const CSimVolume* found = nullptr;
    if (uint32_t error = VolumeOfFolder(root, &found)) {
        return error;
    }
    const CSimVolume& volume = *found;
    space->bytesPerSector = volume.Geometry().bytesPerSector;
    space->sectorsPerCluster = volume.Geometry().sectorsPerCluster;
    // The 32-bit counts saturate on large volumes, as they do on Windows.
    space->freeClusters =
        static_cast<uint32_t>(std::min<uint64_t>(volume.FreeClusters(), UINT32_MAX));
    space->totalClusters =
        static_cast<uint32_t>(std::min<uint64_t>(volume.Geometry().totalClusters, UINT32_MAX));
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::QueryFreeSpaceEx(const std::wstring& path, DiskFreeSpaceEx* space) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const CSimVolume* found = nullptr;
    if (uint32_t error = VolumeOfFolder(path, &found)) {
        return error;
    }
    const CSimVolume& volume = *found;
    space->totalBytes = volume.TotalBytes();
    space->totalFreeBytes = volume.FreeClusters() * volume.ClusterBytes();
    space->freeBytesToCaller = std::min(space->totalFreeBytes, volume.Quota());
    return ERROR_SUCCESS;
}

}  // namespace qmz
