#include "engine/file_streams.h"

#include <cwctype>

#include "engine/compressed_streams.h"
#include "engine/named_object.h"
#include "engine/operation_platform.h"
#include "engine/overwrite_core.h"
#include "engine/path_helpers.h"
#include "ops/check_point.h"
#include "ops/no_case.h"

namespace qmz {
namespace {

constexpr wchar_t kMainStreamName[] = L"::$DATA";

bool IsMainStreamName(const std::wstring& name) {
    const std::wstring expected = kMainStreamName;
    if (name.size() != expected.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::towupper(name[i]) != std::towupper(expected[i])) {
            return false;
        }
    }
    return true;
}

bool IsRootOrMountPoint(IFileSystem* fileSystem, const std::wstring& path,
                        std::wstring* volumeName) {
    return fileSystem->GetVolumeNameForMountPoint(WithTrailingBackslash(path), volumeName) ==
           ERROR_SUCCESS;
}

// Streams cannot be listed because the file system has none (FAT, older systems), as
// opposed to a listing that failed and would leave streams unread.
bool MeansNoStreams(uint32_t error) {
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED;
}

// A mount point's substitute name is a volume's GUID name; a junction's is a folder.
bool NamesVolume(const std::wstring& substituteName) {
    return StartsWithNoCase(substituteName, L"\\??\\Volume{", 0);
}

}  // namespace

bool IsMountedVolume(CEraseOperationBase* operation, uint32_t attributes,
                     const std::wstring& path) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return false;
    }
    // Decided from the reparse data itself: a failed volume query must not make a
    // mounted volume look like a link that may be removed.
    CExactPathFileSystem fileSystem = FileSystemOf(operation);
    uint32_t flags = FILE_FLAG_OPEN_REPARSE_POINT;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        flags |= FILE_FLAG_BACKUP_SEMANTICS;
    }
    std::unique_ptr<IFileHandle> handle;
    uint32_t tag = 0;
    std::wstring substituteName;
    if (fileSystem.Open(path, FILE_READ_ATTRIBUTES,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                        flags, &handle) != ERROR_SUCCESS ||
        handle->GetReparsePoint(&tag, &substituteName) != ERROR_SUCCESS) {
        return true;  // cannot be told: refused like a mounted volume, never removed
    }
    return tag == IO_REPARSE_TAG_MOUNT_POINT && NamesVolume(substituteName);
}

int EnumerateStreams(CEraseOperationBase* operation, uint32_t attributes, const std::wstring& path,
                     std::vector<_FILE_DATA_STREAM>* streams) {
    CExactPathFileSystem exactPaths = FileSystemOf(operation);
    IFileSystem* fileSystem = &exactPaths;
    streams->clear();
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;

    std::wstring openPath = path;
    std::wstring volumeName;
    const bool isVolume = IsRootOrMountPoint(fileSystem, path, &volumeName);
    if (isVolume) {
        openPath = volumeName;
    }
    uint32_t flags = 0;
    if (isFolder || isVolume) {
        flags |= FILE_FLAG_BACKUP_SEMANTICS;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    }
    std::unique_ptr<IFileHandle> handle;
    if (fileSystem->Open(openPath, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         OPEN_EXISTING, flags, &handle) != ERROR_SUCCESS) {
        return 0;
    }
    // Everything that follows is written to or removed by this path: it must not lead
    // into a link's target.
    if (!isVolume && ReachOf(fileSystem, handle.get(), path) != HandleReach::kNamedObject) {
        return 0;
    }

    _FILE_DATA_STREAM mainStream;
    mainStream.name = path;
    mainStream.attributes = attributes;
    std::vector<StreamInfo> infos;
    uint32_t bufferBytes = kStreamQueryFirstBytes;
    uint32_t rc = handle->QueryStreams(bufferBytes, &infos);
    while (rc == ERROR_MORE_DATA && bufferBytes < kStreamQueryMaxBytes) {
        bufferBytes *= 2;
        rc = handle->QueryStreams(bufferBytes, &infos);
    }
    if (rc == ERROR_MORE_DATA) {
        // Streams that cannot all be listed cannot all be overwritten: the object must
        // not be reported erased, nor removed with some of its streams unread.
        return 0;
    }
    if (rc == ERROR_HANDLE_EOF) {
        // What NTFS answers for an object without any stream (a plain folder).
        infos.clear();
        rc = ERROR_SUCCESS;
    }
    if (rc == ERROR_SUCCESS) {
        for (const StreamInfo& info : infos) {
            if (IsMainStreamName(info.name)) {
                mainStream.size = info.size;
                continue;
            }
            _FILE_DATA_STREAM named;
            named.name = path + info.name;
            named.size = info.size;
            if (fileSystem->GetAttributes(named.name, &named.attributes) != ERROR_SUCCESS) {
                named.attributes = INVALID_FILE_ATTRIBUTES;
            }
            streams->push_back(named);
        }
    } else if (!MeansNoStreams(rc)) {
        return 0;  // streams that could not be listed would be left unread
    } else if (!isFolder) {
        // No stream information (FAT, or an older file system): the file has only its
        // main stream.
        FileAttributeData data;
        if (fileSystem->GetAttributesEx(path, &data) != ERROR_SUCCESS) {
            return 0;
        }
        mainStream.size = data.size;
    }
    if (!isFolder) {
        streams->push_back(mainStream);
    }
    return 1;
}

int OverwriteAnyStream(CEraseOperationBase* operation, uint32_t attributes,
                       const std::wstring& streamPath, uint64_t size) {
    if (!NeedsSpecialHandling(attributes)) {
        return OverwriteStream(operation, attributes, streamPath, size);
    }
    const int result = PlatformOf(operation).isVistaOrLater
                           ? ZeroAllocatedRanges(operation, attributes, streamPath)
                           : OverwriteClustersOnVolume(operation, attributes, streamPath);
    if (IsStopped(operation) || result == kSpecialFailed) {
        return 0;
    }
    if (result == kSpecialNotApplicable) {
        return OverwriteStream(operation, attributes, streamPath, size);
    }
    return 1;
}

}  // namespace qmz
