// The data streams of a file or folder: named streams first, then a file's main stream.
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

// A drive-letter path ("C:\\...") or a UNC or device path ("\\\\server\\...", "\\\\?\\...").
// Anything else would be resolved against a current directory nobody chose.
bool IsAbsolutePath(const std::wstring& path);

// "dir" + "\\" + name, without doubling a separator the folder already ends with.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// The path with exactly one trailing backslash, as mount-point queries need it.
std::wstring WithTrailingBackslash(const std::wstring& path);
// A reparse point that another volume is mounted on, or a volume root.
bool IsMountedVolume(CEraseOperationBase* operation, uint32_t attributes, const std::wstring& path);

// Fills `streams`; 1 listed, 0 the object cannot be opened or queried.
int EnumerateStreams(CEraseOperationBase* operation, uint32_t attributes, const std::wstring& path,
                     std::vector<_FILE_DATA_STREAM>* streams);

}  // namespace qmz
