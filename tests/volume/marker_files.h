// Files of a recognisable content written onto the test image: marker records that must
// not survive an erase of the space they were deleted from, and kept files that must
// come through byte for byte.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qmz::volumetest {

inline constexpr char kMarker[] = "QMZ-MARKER-";
// A record: the marker, a 20-digit number and a line end.
constexpr uint64_t kRecordBytes = 32;

// Writes records numbered from `firstNumber` into a new file until it holds `mebibytes`
// or the drive is full, and flushes it, so that the image's blocks hold them (ext4
// allocates at write-back: a file deleted before it would leave nothing to find). The
// records written; 0 when nothing could be.
uint64_t WriteMarkerFile(const std::wstring& path, uint64_t mebibytes, uint64_t firstNumber);
// Marker files `stem`N.bin of a few MiB each until the drive is full: every free block
// then holds records. Their paths go to `paths`; the records written.
uint64_t FillWithMarkerFiles(const std::wstring& stem, uint64_t firstNumber,
                             std::vector<std::wstring>* paths);
// Writes `content` to a new file, flushed likewise.
bool WriteFlushed(const std::wstring& path, const std::string& content);
// `size` bytes that differ for each seed and hold no marker.
std::string KeptBytes(uint32_t seed, size_t size);

}  // namespace qmz::volumetest
