// clang-format off
#include <windows.h>
#include <winioctl.h>
// clang-format on

#include <cstddef>
#include <vector>

#include "platform/win32/late_bound.h"
#include "platform/win32/win32_file_handle.h"

// What object a handle really reached: the two questions the engine asks before it
// writes to, or removes, what a path named.
namespace qmz {
namespace {

// Spelled out: the headers declare them only for a Vista-or-later target.
constexpr ULONG kFileNameInformation = 9;
constexpr DWORD kFileNameNormalized = 0x0;
constexpr DWORD kVolumeNameDos = 0x0;
constexpr ULONG kTagMountPoint = 0xA0000003;
constexpr ULONG kTagSymlink = 0xA000000C;
constexpr DWORD kMaxPathChars = 32768;
constexpr DWORD kMaxReparseBytes = 16 * 1024;

// The layout of REPARSE_DATA_BUFFER that mount points, junctions and symbolic links
// share up to their path buffers; mingw does not declare it.
struct ReparseHeader {
    ULONG tag;
    USHORT dataLength;
    USHORT reserved;
    USHORT substituteNameOffset;
    USHORT substituteNameLength;
    USHORT printNameOffset;
    USHORT printNameLength;
};
constexpr size_t kSymlinkFlagsBytes = sizeof(ULONG);

}  // namespace

uint32_t CWin32FileHandle::GetFinalPath(std::wstring* path) {
    const LateBoundKernel& kernel = LateBound();
    if (kernel.getFinalPathNameByHandleW != nullptr) {
        std::vector<wchar_t> buffer(kMaxPathChars);
        const DWORD length = kernel.getFinalPathNameByHandleW(
            m_handle.Get(), buffer.data(), kMaxPathChars, kFileNameNormalized | kVolumeNameDos);
        if (length == 0) {
            return ::GetLastError();
        }
        if (length >= kMaxPathChars) {
            return ERROR_FILENAME_EXCED_RANGE;
        }
        path->assign(buffer.data(), length);
        return ERROR_SUCCESS;
    }
    // Before Vista: the name within the volume, from FileNameInformation.
    if (kernel.ntQueryInformationFile == nullptr || kernel.rtlNtStatusToDosError == nullptr) {
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    std::vector<uint64_t> buffer((sizeof(ULONG) + kMaxPathChars * sizeof(wchar_t)) / 8 + 1);
    NtIoStatusBlock status = {};
    const LONG result = kernel.ntQueryInformationFile(
        m_handle.Get(), &status, buffer.data(),
        static_cast<ULONG>(buffer.size() * sizeof(uint64_t)), kFileNameInformation);
    if (result < 0) {
        return kernel.rtlNtStatusToDosError(result);
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(buffer.data());
    const ULONG nameBytes = *reinterpret_cast<const ULONG*>(bytes);
    if (nameBytes > kMaxPathChars * sizeof(wchar_t)) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    path->assign(reinterpret_cast<const wchar_t*>(bytes + sizeof(ULONG)),
                 nameBytes / sizeof(wchar_t));
    return ERROR_SUCCESS;
}

uint32_t CWin32FileHandle::GetReparsePoint(uint32_t* tag, std::wstring* substituteName) {
    std::vector<uint64_t> buffer(kMaxReparseBytes / 8);
    DWORD returned = 0;
    const uint32_t error = Control(FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                                   static_cast<DWORD>(buffer.size() * sizeof(uint64_t)), &returned);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (returned < sizeof(ULONG)) {
        return ERROR_INVALID_DATA;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(buffer.data());
    const auto* header = reinterpret_cast<const ReparseHeader*>(bytes);
    *tag = header->tag;
    substituteName->clear();
    size_t pathBuffer = sizeof(ReparseHeader);
    if (header->tag == kTagSymlink) {
        pathBuffer += kSymlinkFlagsBytes;
    } else if (header->tag != kTagMountPoint) {
        return ERROR_SUCCESS;  // another kind of reparse point: only its tag means anything
    }
    const size_t begin = pathBuffer + header->substituteNameOffset;
    const size_t end = begin + header->substituteNameLength;
    if (returned < sizeof(ReparseHeader) || end > returned) {
        return ERROR_INVALID_DATA;  // a cut-off answer is not read
    }
    substituteName->assign(reinterpret_cast<const wchar_t*>(bytes + begin),
                           header->substituteNameLength / sizeof(wchar_t));
    return ERROR_SUCCESS;
}

}  // namespace qmz
