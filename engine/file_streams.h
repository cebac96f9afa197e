// The data streams of a file or folder: named streams first, then a file's main stream,
// and the one entry that overwrites a stream of any kind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ops/operation.h"

namespace qmz {

struct _FILE_DATA_STREAM {
    std::wstring name;  // full stream path; for the main stream the object's path
    uint64_t size = 0;
    uint32_t attributes = INVALID_FILE_ATTRIBUTES;
};

constexpr uint32_t kStreamQueryFirstBytes = 1024;
constexpr uint32_t kStreamQueryMaxBytes = 64u << 20;

// A reparse point that another volume is mounted on, or a volume root.
bool IsMountedVolume(CEraseOperationBase* operation, uint32_t attributes, const std::wstring& path);

// Fills `streams`; 1 listed, 0 the object cannot be opened or queried.
int EnumerateStreams(CEraseOperationBase* operation, uint32_t attributes, const std::wstring& path,
                     std::vector<_FILE_DATA_STREAM>* streams);

// Overwrites one stream with every pass: compressed, encrypted and sparse streams by
// their special routine (with its fall-back), any other through the file system.
// 1 overwritten, 0 failed or stopped (the latches tell which).
int OverwriteAnyStream(CEraseOperationBase* operation, uint32_t attributes,
                       const std::wstring& streamPath, uint64_t size);

}  // namespace qmz
