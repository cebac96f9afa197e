#include "engine/compressed_streams.h"

#include "engine/operation_platform.h"
#include "engine/overwrite_core.h"
#include "ops/check_point.h"

namespace qmz {
namespace {

uint32_t ReparseFlag(uint32_t attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
}

}  // namespace

bool NeedsSpecialHandling(uint32_t attributes) {
    return (attributes & (FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_ENCRYPTED |
                          FILE_ATTRIBUTE_SPARSE_FILE)) != 0;
}

int ZeroAllocatedRanges(CEraseOperationBase* operation, uint32_t attributes,
                        const std::wstring& streamPath) {
    CExactPathFileSystem exactPaths = FileSystemOf(operation);
    IFileSystem* fileSystem = &exactPaths;
    std::unique_ptr<IFileHandle> handle;
    if (fileSystem->Open(streamPath, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING,
                         FILE_FLAG_NO_BUFFERING | FILE_FLAG_WRITE_THROUGH | ReparseFlag(attributes),
                         &handle) != ERROR_SUCCESS) {
        return kSpecialFailed;
    }
    uint64_t fileSize = 0;
    if (handle->SetZeroOnDeallocation() != ERROR_SUCCESS ||
        handle->GetSize(&fileSize) != ERROR_SUCCESS) {
        return kSpecialFailed;
    }

    uint64_t queryOffset = 0;
    for (;;) {
        std::vector<AllocatedRange> ranges;
        const uint32_t rc = handle->QueryAllocatedRanges(queryOffset, fileSize - queryOffset,
                                                         kAllocatedRangesPerQuery, &ranges);
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) {
            return kSpecialFailed;
        }
        if (ranges.empty()) {
            return kSpecialNotApplicable;
        }
        for (const AllocatedRange& range : ranges) {
            if (handle->SetZeroData(range.offset, range.offset + range.length) != ERROR_SUCCESS) {
                return kSpecialFailed;
            }
            if (!CheckControlPoint(operation)) {
                return kSpecialFailed;
            }
        }
        if (rc == ERROR_SUCCESS) {
            break;
        }
        const AllocatedRange& last = ranges.back();
        queryOffset = last.offset + last.length;
        if (queryOffset >= fileSize) {
            break;  // a file system that says "more" with nothing left must not loop
        }
    }
    if (handle->Seek(0, FILE_BEGIN, nullptr) != ERROR_SUCCESS ||
        handle->SetEndOfFile() != ERROR_SUCCESS) {
        return kSpecialFailed;
    }
    return kSpecialDone;
}

std::wstring VolumeDeviceName(IFileSystem* fileSystem, const std::wstring& volumePath) {
    if (volumePath.size() == 3) {
        return L"\\\\.\\" + volumePath.substr(0, 2);
    }
    std::wstring guidName;
    if (fileSystem->GetVolumeNameForMountPoint(volumePath, &guidName) != ERROR_SUCCESS ||
        guidName.size() < 4) {
        return std::wstring();
    }
    if (guidName.back() == L'\\') {
        guidName.pop_back();
    }
    guidName[2] = L'.';  // \\?\Volume{...} -> \\.\Volume{...}
    return guidName;
}

int OverwriteExtents(CEraseOperationBase* operation, IFileHandle* volume, uint32_t clusterSize,
                     IFileHandle* file, ExtentsOutcome* outcome) {
    int64_t startingVcn = 0;
    for (;;) {
        RetrievalPointers pointers;
        const uint32_t rc =
            file->GetRetrievalPointers(startingVcn, kRetrievalPointersBufferBytes, &pointers);
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) {
            return kSpecialNotApplicable;
        }
        int64_t previousVcn = pointers.startingVcn;
        for (const Extent& extent : pointers.extents) {
            if (extent.lcn != -1) {
                outcome->someAllocated = true;
                const uint64_t clusters = static_cast<uint64_t>(extent.nextVcn - previousVcn);
                if (volume->Seek(extent.lcn * static_cast<int64_t>(clusterSize), FILE_BEGIN,
                                 nullptr) != ERROR_SUCCESS ||
                    RunPasses(operation, volume, clusterSize, clusters * clusterSize) == 0) {
                    return kSpecialFailed;
                }
            }
            previousVcn = extent.nextVcn;
        }
        if (rc == ERROR_SUCCESS) {
            outcome->wholeMapRead = true;
            return kSpecialDone;
        }
        if (pointers.extents.empty() || pointers.extents.back().nextVcn <= startingVcn) {
            return kSpecialNotApplicable;  // "more data" that never advances
        }
        startingVcn = pointers.extents.back().nextVcn;
    }
}

int OverwriteClustersOnVolume(CEraseOperationBase* operation, uint32_t attributes,
                              const std::wstring& streamPath) {
    CExactPathFileSystem exactPaths = FileSystemOf(operation);
    IFileSystem* fileSystem = &exactPaths;
    std::wstring volumePath;
    if (fileSystem->GetVolumePath(streamPath, &volumePath) != ERROR_SUCCESS) {
        return kSpecialFailed;
    }
    const std::wstring device = VolumeDeviceName(fileSystem, volumePath);
    if (device.empty()) {
        return kSpecialFailed;
    }
    std::unique_ptr<IFileHandle> volume;
    if (fileSystem->Open(device, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         OPEN_EXISTING, FILE_FLAG_NO_BUFFERING | FILE_FLAG_WRITE_THROUGH,
                         &volume) != ERROR_SUCCESS) {
        return kSpecialFailed;
    }
    DiskFreeSpace space;
    if (fileSystem->QueryFreeSpace(volumePath, &space) != ERROR_SUCCESS ||
        space.sectorsPerCluster * space.bytesPerSector == 0) {
        return kSpecialFailed;
    }
    const uint32_t clusterSize = space.sectorsPerCluster * space.bytesPerSector;
    std::unique_ptr<IFileHandle> file;
    if (fileSystem->Open(streamPath, GENERIC_READ, 0, OPEN_EXISTING, ReparseFlag(attributes),
                         &file) != ERROR_SUCCESS) {
        return kSpecialFailed;
    }
    ExtentsOutcome outcome;
    const int result = OverwriteExtents(operation, volume.get(), clusterSize, file.get(), &outcome);
    volume.reset();
    if (IsStopped(operation) || result == kSpecialFailed) {
        return kSpecialFailed;
    }
    if (result == kSpecialNotApplicable) {
        return kSpecialNotApplicable;
    }
    return outcome.someAllocated && outcome.wholeMapRead ? kSpecialDone : kSpecialNotApplicable;
}

}  // namespace qmz
