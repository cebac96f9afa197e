// The file-system part of the platform seam. Every call returns a Win32 error code
// (ERROR_SUCCESS on success) because the erase logic branches on specific codes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace qmz {

// One entry of FileStreamInfo: name as the file system reports it (":name:$DATA").
struct StreamInfo {
    std::wstring name;
    uint64_t size = 0;
    uint64_t allocationSize = 0;
};

// One FILE_ALLOCATED_RANGE_BUFFER.
struct AllocatedRange {
    uint64_t offset = 0;
    uint64_t length = 0;
};

// One extent of RETRIEVAL_POINTERS_BUFFER; lcn == -1 marks a hole.
struct Extent {
    int64_t nextVcn = 0;
    int64_t lcn = 0;
};

struct RetrievalPointers {
    int64_t startingVcn = 0;
    std::vector<Extent> extents;
};

// What FindFirstFileW / FindNextFileW report of one entry.
struct FindData {
    uint32_t attributes = 0;
    uint64_t size = 0;
    std::wstring name;
};

// What GetFileAttributesExW reports.
struct FileAttributeData {
    uint32_t attributes = 0;
    uint64_t size = 0;
};

struct DiskFreeSpace {
    uint32_t sectorsPerCluster = 0;
    uint32_t bytesPerSector = 0;
    uint32_t freeClusters = 0;
    uint32_t totalClusters = 0;
};

struct DiskFreeSpaceEx {
    uint64_t freeBytesToCaller = 0;
    uint64_t totalBytes = 0;
    uint64_t totalFreeBytes = 0;
};

// An open file, stream or volume; closing is the destructor's job.
class IFileHandle {
public:
    virtual ~IFileHandle() = default;
    virtual uint32_t Read(void* buffer, uint32_t length, uint32_t* bytesRead) = 0;
    virtual uint32_t Write(const void* buffer, uint32_t length, uint32_t* bytesWritten) = 0;
    // SetFilePointerEx; `newPosition` may be null.
    virtual uint32_t Seek(int64_t distance, uint32_t moveMethod, uint64_t* newPosition) = 0;
    virtual uint32_t SetEndOfFile() = 0;
    // FlushFileBuffers: what was written is on the disk when this returns.
    virtual uint32_t Flush() = 0;
    virtual uint32_t GetSize(uint64_t* size) = 0;
    // GetFileInformationByHandleEx(FileStreamInfo) with an output buffer of
    // `bufferBytes`; ERROR_MORE_DATA when the list does not fit.
    virtual uint32_t QueryStreams(uint32_t bufferBytes, std::vector<StreamInfo>* streams) = 0;
    virtual uint32_t SetZeroOnDeallocation() = 0;
    // FSCTL_QUERY_ALLOCATED_RANGES: at most `maxRanges` ranges of [offset, offset+length);
    // ERROR_MORE_DATA when more follow.
    virtual uint32_t QueryAllocatedRanges(uint64_t offset, uint64_t length, uint32_t maxRanges,
                                          std::vector<AllocatedRange>* ranges) = 0;
    // FSCTL_SET_ZERO_DATA over [begin, end).
    virtual uint32_t SetZeroData(uint64_t begin, uint64_t end) = 0;
    // FSCTL_GET_RETRIEVAL_POINTERS from `startingVcn` into `bufferBytes` of output;
    // ERROR_MORE_DATA when more extents follow.
    virtual uint32_t GetRetrievalPointers(int64_t startingVcn, uint32_t bufferBytes,
                                          RetrievalPointers* pointers) = 0;
    // The path the handle really reaches, links resolved, as GetFinalPathNameByHandleW
    // gives it ("\\?\C:\dir\file", "\\?\UNC\server\share\file"); before Vista only the
    // part within the volume ("\dir\file"). ERROR_CALL_NOT_IMPLEMENTED where it cannot be
    // told at all.
    virtual uint32_t GetFinalPath(std::wstring* path) = 0;
    // FSCTL_GET_REPARSE_POINT of a handle opened with FILE_FLAG_OPEN_REPARSE_POINT: the tag
    // and, for mount points, junctions and symbolic links, the substitute name
    // ("\??\Volume{...}\", "\??\C:\target"). ERROR_NOT_A_REPARSE_POINT for other objects.
    virtual uint32_t GetReparsePoint(uint32_t* tag, std::wstring* substituteName) = 0;
    // FSCTL_SET_COMPRESSION with the two-byte format (COMPRESSION_FORMAT_NONE turns it
    // off). ERROR_INVALID_FUNCTION or ERROR_NOT_SUPPORTED where the file system has no
    // compression.
    virtual uint32_t SetCompression(uint16_t format) = 0;
    // IOCTL_DISK_GET_LENGTH_INFO of a volume or disk device: its length in bytes as the
    // storage stack reports it.
    virtual uint32_t GetLengthInfo(uint64_t* length) = 0;
};

// An open FindFirstFileW enumeration; the destructor calls FindClose.
class IFindHandle {
public:
    virtual ~IFindHandle() = default;
    // ERROR_NO_MORE_FILES at the end.
    virtual uint32_t Next(FindData* data) = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    virtual uint32_t GetAttributes(const std::wstring& path, uint32_t* attributes) = 0;
    virtual uint32_t GetAttributesEx(const std::wstring& path, FileAttributeData* data) = 0;
    virtual uint32_t SetAttributes(const std::wstring& path, uint32_t attributes) = 0;
    virtual uint32_t FindFirst(const std::wstring& pattern, std::unique_ptr<IFindHandle>* find,
                               FindData* first) = 0;
    // CreateFileW; also opens named streams ("file:name") and volumes ("\\.\C:").
    virtual uint32_t Open(const std::wstring& path, uint32_t access, uint32_t share,
                          uint32_t disposition, uint32_t flags,
                          std::unique_ptr<IFileHandle>* handle) = 0;
    virtual uint32_t CreateFolder(const std::wstring& path) = 0;
    virtual uint32_t Move(const std::wstring& from, const std::wstring& to) = 0;
    virtual uint32_t Delete(const std::wstring& path) = 0;
    virtual uint32_t RemoveFolder(const std::wstring& path) = 0;
    // _wchmod(path, _S_IREAD | _S_IWRITE): clears FILE_ATTRIBUTE_READONLY.
    virtual uint32_t MakeWritable(const std::wstring& path) = 0;
    virtual uint32_t GetVolumePath(const std::wstring& path, std::wstring* volumePath) = 0;
    // GetVolumeNameForVolumeMountPointW; the argument ends with a backslash.
    virtual uint32_t GetVolumeNameForMountPoint(const std::wstring& mountPoint,
                                                std::wstring* volumeName) = 0;
    virtual uint32_t QueryFreeSpace(const std::wstring& root, DiskFreeSpace* space) = 0;
    virtual uint32_t QueryFreeSpaceEx(const std::wstring& path, DiskFreeSpaceEx* space) = 0;
};

}  // namespace qmz
