#include "tests/volume/marker_files.h"

#include <algorithm>
#include <cstdio>

#include "platform/win32/unique_handle.h"

namespace qmz::volumetest {
namespace {

constexpr uint64_t kPieceBytes = 64 * 1024;
constexpr uint64_t kSmallestPiece = 1024;  // the image's block
constexpr uint64_t kMarkerFileMiB = 4;

bool WriteAll(HANDLE file, const char* data, size_t size) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

}  // namespace

uint64_t WriteMarkerFile(const std::wstring& path, uint64_t mebibytes, uint64_t firstNumber) {
    CScopedHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    if (!file) {
        return 0;
    }
    std::string piece(kPieceBytes, '\0');
    uint64_t number = firstNumber;
    uint64_t left = mebibytes << 20;
    // On a full drive the pieces shrink down to one block, as a fill's chunks do, so that
    // the records reach as far into the free space as any fill can.
    for (uint64_t size = kPieceBytes; left > 0 && size >= kSmallestPiece;) {
        size = std::min(size, left);
        for (uint64_t at = 0; at < size; at += kRecordBytes) {
            // 11 + 20 + 1 characters; the terminator snprintf adds is overwritten next.
            char text[kRecordBytes + 1];
            std::snprintf(text, sizeof(text), "%s%020llu\n", kMarker,
                          static_cast<unsigned long long>(number + at / kRecordBytes));
            std::copy(text, text + kRecordBytes, piece.begin() + static_cast<ptrdiff_t>(at));
        }
        if (WriteAll(file.Get(), piece.data(), size)) {
            number += size / kRecordBytes;
            left -= size;
        } else {
            size /= 2;
        }
    }
    return FlushFileBuffers(file.Get()) ? number - firstNumber : 0;
}

uint64_t FillWithMarkerFiles(const std::wstring& stem, uint64_t firstNumber,
                             std::vector<std::wstring>* paths) {
    uint64_t records = 0;
    for (int i = 0;; ++i) {
        const std::wstring path = stem + std::to_wstring(i) + L".bin";
        const uint64_t written = WriteMarkerFile(path, kMarkerFileMiB, firstNumber + records);
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            paths->push_back(path);
        }
        records += written;
        if (written < (kMarkerFileMiB << 20) / kRecordBytes) {
            return records;
        }
    }
}

bool WriteFlushed(const std::wstring& path, const std::string& content) {
    CScopedHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return file && WriteAll(file.Get(), content.data(), content.size()) &&
           FlushFileBuffers(file.Get()) != FALSE;
}

std::string KeptBytes(uint32_t seed, size_t size) {
    std::string bytes(size, '\0');
    uint32_t state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        // Lower-case letters and digits only: the marker's capitals never occur.
        byte = "abcdefghijklmnopqrstuvwxyz0123456789"[(state >> 16) % 36];
    }
    return bytes;
}

}  // namespace qmz::volumetest
