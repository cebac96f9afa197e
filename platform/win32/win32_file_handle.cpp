// clang-format off
#include <windows.h>
#include <winioctl.h>
// clang-format on

#include "platform/win32/win32_file_handle.h"

#include <cstddef>

#include "platform/win32/late_bound.h"
#include "platform/win32/stream_entries.h"

namespace qmz {

namespace {

uint32_t LastErrorUnless(BOOL ok) {
    return ok ? ERROR_SUCCESS : ::GetLastError();
}

// ntdll's names for what a stream query can answer.
constexpr ULONG kFileStreamInformation = 22;
constexpr LONG kStatusBufferOverflow = static_cast<LONG>(0x80000005);
constexpr LONG kStatusNotImplemented = static_cast<LONG>(0xC0000002);
constexpr LONG kStatusInvalidInfoClass = static_cast<LONG>(0xC0000003);
constexpr LONG kStatusInvalidParameter = static_cast<LONG>(0xC000000D);

// The Win32 error GetFileInformationByHandleEx gives for an NTSTATUS of the stream query.
// File systems without streams (FAT, many network redirectors) answer with the three
// named here; the engine reads their Win32 forms as "no streams on this file system".
uint32_t StreamQueryError(LONG status, const LateBoundKernel& kernel) {
    if (status >= 0) {
        return ERROR_SUCCESS;
    }
    switch (status) {
        case kStatusBufferOverflow:
            return ERROR_MORE_DATA;
        case kStatusInvalidParameter:
        case kStatusInvalidInfoClass:
            return ERROR_INVALID_PARAMETER;
        case kStatusNotImplemented:
            return ERROR_INVALID_FUNCTION;
        default:
            return kernel.rtlNtStatusToDosError(status);
    }
}

// Lists a handle's streams into `buffer`: from Vista on through GetFileInformationByHandleEx,
// before it through ntdll, which writes the same entries. `filledBytes`: how much of the
// buffer the call says it wrote (GetFileInformationByHandleEx does not say: all of it).
uint32_t ListStreams(HANDLE handle, void* buffer, uint32_t bufferBytes, size_t* filledBytes) {
    const LateBoundKernel& kernel = LateBound();
    if (kernel.getFileInformationByHandleEx != nullptr) {
        *filledBytes = bufferBytes;
        return LastErrorUnless(
            kernel.getFileInformationByHandleEx(handle, FileStreamInfo, buffer, bufferBytes));
    }
    if (kernel.ntQueryInformationFile == nullptr || kernel.rtlNtStatusToDosError == nullptr) {
        return ERROR_CALL_NOT_IMPLEMENTED;  // not an NT system: no streams anywhere
    }
    NtIoStatusBlock io = {};
    const LONG status =
        kernel.ntQueryInformationFile(handle, &io, buffer, bufferBytes, kFileStreamInformation);
    *filledBytes = io.information < bufferBytes ? io.information : bufferBytes;
    return StreamQueryError(status, kernel);
}

}  // namespace

uint32_t CWin32FileHandle::Read(void* buffer, uint32_t length, uint32_t* bytesRead) {
    DWORD done = 0;
    const uint32_t error =
        LastErrorUnless(::ReadFile(m_handle.Get(), buffer, length, &done, nullptr));
    *bytesRead = done;
    return error;
}

uint32_t CWin32FileHandle::Write(const void* buffer, uint32_t length, uint32_t* bytesWritten) {
    DWORD done = 0;
    const uint32_t error =
        LastErrorUnless(::WriteFile(m_handle.Get(), buffer, length, &done, nullptr));
    *bytesWritten = done;
    return error;
}

uint32_t CWin32FileHandle::Seek(int64_t distance, uint32_t moveMethod, uint64_t* newPosition) {
    LARGE_INTEGER move;
    move.QuadPart = distance;
    LARGE_INTEGER now;
    const uint32_t error =
        LastErrorUnless(::SetFilePointerEx(m_handle.Get(), move, &now, moveMethod));
    if (error == ERROR_SUCCESS && newPosition != nullptr) {
        *newPosition = static_cast<uint64_t>(now.QuadPart);
    }
    return error;
}

uint32_t CWin32FileHandle::Flush() {
    return LastErrorUnless(::FlushFileBuffers(m_handle.Get()));
}

uint32_t CWin32FileHandle::SetEndOfFile() {
    return LastErrorUnless(::SetEndOfFile(m_handle.Get()));
}

uint32_t CWin32FileHandle::GetSize(uint64_t* size) {
    LARGE_INTEGER value;
    const uint32_t error = LastErrorUnless(::GetFileSizeEx(m_handle.Get(), &value));
    if (error == ERROR_SUCCESS) {
        *size = static_cast<uint64_t>(value.QuadPart);
    }
    return error;
}

uint32_t CWin32FileHandle::QueryStreams(uint32_t bufferBytes, std::vector<StreamInfo>* streams) {
    streams->clear();
    // 8-byte aligned storage, as the entries require; zeroed, so that bytes the call did
    // not write read as "no entry".
    std::vector<uint64_t> buffer((bufferBytes + 7) / 8 + 1);
    size_t filledBytes = 0;
    const uint32_t error = ListStreams(m_handle.Get(), buffer.data(), bufferBytes, &filledBytes);
    if (error != ERROR_SUCCESS) {
        // ERROR_MORE_DATA included: a list cut off at the buffer's end is not read at all.
        return error;
    }
    return ParseStreamEntries(buffer.data(), filledBytes, streams);
}

uint32_t CWin32FileHandle::Control(DWORD code, const void* in, DWORD inBytes, void* out,
                                   DWORD outBytes, DWORD* returned) {
    *returned = 0;
    return LastErrorUnless(::DeviceIoControl(m_handle.Get(), code, const_cast<void*>(in), inBytes,
                                             out, outBytes, returned, nullptr));
}

uint32_t CWin32FileHandle::SetZeroOnDeallocation() {
    DWORD returned;
    return Control(FSCTL_SET_ZERO_ON_DEALLOCATION, nullptr, 0, nullptr, 0, &returned);
}

uint32_t CWin32FileHandle::QueryAllocatedRanges(uint64_t offset, uint64_t length,
                                                uint32_t maxRanges,
                                                std::vector<AllocatedRange>* ranges) {
    ranges->clear();
    FILE_ALLOCATED_RANGE_BUFFER query;
    query.FileOffset.QuadPart = static_cast<LONGLONG>(offset);
    query.Length.QuadPart = static_cast<LONGLONG>(length);
    std::vector<FILE_ALLOCATED_RANGE_BUFFER> out(maxRanges);
    DWORD returned;
    const uint32_t error =
        Control(FSCTL_QUERY_ALLOCATED_RANGES, &query, sizeof(query), out.data(),
                static_cast<DWORD>(out.size() * sizeof(FILE_ALLOCATED_RANGE_BUFFER)), &returned);
    if (error != ERROR_SUCCESS && error != ERROR_MORE_DATA) {
        return error;
    }
    for (size_t i = 0; i < returned / sizeof(FILE_ALLOCATED_RANGE_BUFFER); ++i) {
        ranges->push_back({static_cast<uint64_t>(out[i].FileOffset.QuadPart),
                           static_cast<uint64_t>(out[i].Length.QuadPart)});
    }
    return error;
}

uint32_t CWin32FileHandle::SetZeroData(uint64_t begin, uint64_t end) {
    FILE_ZERO_DATA_INFORMATION zero;
    zero.FileOffset.QuadPart = static_cast<LONGLONG>(begin);
    zero.BeyondFinalZero.QuadPart = static_cast<LONGLONG>(end);
    DWORD returned;
    return Control(FSCTL_SET_ZERO_DATA, &zero, sizeof(zero), nullptr, 0, &returned);
}

uint32_t CWin32FileHandle::GetRetrievalPointers(int64_t startingVcn, uint32_t bufferBytes,
                                                RetrievalPointers* pointers) {
    *pointers = RetrievalPointers();
    STARTING_VCN_INPUT_BUFFER start;
    start.StartingVcn.QuadPart = startingVcn;
    std::vector<uint64_t> out((bufferBytes + 7) / 8);
    DWORD returned;
    const uint32_t error = Control(FSCTL_GET_RETRIEVAL_POINTERS, &start, sizeof(start), out.data(),
                                   bufferBytes, &returned);
    if (error != ERROR_SUCCESS && error != ERROR_MORE_DATA) {
        return error;
    }
    const auto* buffer = reinterpret_cast<const RETRIEVAL_POINTERS_BUFFER*>(out.data());
    pointers->startingVcn = buffer->StartingVcn.QuadPart;
    for (DWORD i = 0; i < buffer->ExtentCount; ++i) {
        pointers->extents.push_back(
            {buffer->Extents[i].NextVcn.QuadPart, buffer->Extents[i].Lcn.QuadPart});
    }
    return error;
}

FindData ToFindData(const WIN32_FIND_DATAW& found) {
    FindData data;
    data.attributes = found.dwFileAttributes;
    data.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    data.name = found.cFileName;
    return data;
}

uint32_t CWin32FindHandle::Next(FindData* data) {
    WIN32_FIND_DATAW found;
    if (!::FindNextFileW(m_find.Get(), &found)) {
        return ::GetLastError();
    }
    *data = ToFindData(found);
    return ERROR_SUCCESS;
}

uint32_t CWin32FileHandle::SetCompression(uint16_t format) {
    USHORT value = format;
    DWORD returned = 0;
    return Control(FSCTL_SET_COMPRESSION, &value, sizeof(value), nullptr, 0, &returned);
}

uint32_t CWin32FileHandle::GetLengthInfo(uint64_t* length) {
    GET_LENGTH_INFORMATION info = {};
    DWORD returned = 0;
    const uint32_t error =
        Control(IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &info, sizeof(info), &returned);
    *length = error == ERROR_SUCCESS ? static_cast<uint64_t>(info.Length.QuadPart) : 0;
    return error;
}

}  // namespace qmz
