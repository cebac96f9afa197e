// Streams that NTFS stores compressed, encrypted or sparse: writing through the file
// system would not reach their old clusters, so they are zeroed by the file system
// (Vista and later) or overwritten on the raw volume (earlier systems).
#pragma once

#include <cstdint>
#include <string>

#include "ops/operation.h"
#include "platform/file_system.h"

namespace qmz {

// Results of the routines below.
constexpr int kSpecialDone = 0;
constexpr int kSpecialNotApplicable = 1;  // the caller falls back to OverwriteStream
constexpr int kSpecialFailed = -1;

constexpr uint32_t kAllocatedRangesPerQuery = 1024;  // 16,384 bytes of output
constexpr uint32_t kRetrievalPointersBufferBytes = 131088;

bool NeedsSpecialHandling(uint32_t attributes);

// Zeroes every allocated range of the stream once, then truncates it.
int ZeroAllocatedRanges(CEraseOperationBase* operation, uint32_t attributes,
                        const std::wstring& streamPath);

// Overwrites the stream's clusters on the raw volume with every pass.
int OverwriteClustersOnVolume(CEraseOperationBase* operation, uint32_t attributes,
                              const std::wstring& streamPath);

struct ExtentsOutcome {
    bool someAllocated = false;
    bool wholeMapRead = false;
};

// Runs the passes over each allocated extent of `file` on `volume`.
int OverwriteExtents(CEraseOperationBase* operation, IFileHandle* volume, uint32_t clusterSize,
                     IFileHandle* file, ExtentsOutcome* outcome);

// Raw device name of a volume path: "\\.\C:" for a drive root, else the GUID name in
// device form. Empty when it cannot be determined.
std::wstring VolumeDeviceName(IFileSystem* fileSystem, const std::wstring& volumePath);

}  // namespace qmz
