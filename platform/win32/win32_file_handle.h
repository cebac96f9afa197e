// An open file, stream or volume on the real Win32 calls. Include <windows.h> first.
#pragma once

#include "platform/file_system.h"
#include "platform/win32/unique_handle.h"

namespace qmz {

class CWin32FileHandle : public IFileHandle {
public:
    explicit CWin32FileHandle(HANDLE handle) : m_handle(handle) {}

    uint32_t Read(void* buffer, uint32_t length, uint32_t* bytesRead) override;
    uint32_t Write(const void* buffer, uint32_t length, uint32_t* bytesWritten) override;
    uint32_t Seek(int64_t distance, uint32_t moveMethod, uint64_t* newPosition) override;
    uint32_t SetEndOfFile() override;
    uint32_t Flush() override;
    uint32_t GetSize(uint64_t* size) override;
    uint32_t QueryStreams(uint32_t bufferBytes, std::vector<StreamInfo>* streams) override;
    uint32_t SetZeroOnDeallocation() override;
    uint32_t QueryAllocatedRanges(uint64_t offset, uint64_t length, uint32_t maxRanges,
                                  std::vector<AllocatedRange>* ranges) override;
    uint32_t SetZeroData(uint64_t begin, uint64_t end) override;
    uint32_t GetRetrievalPointers(int64_t startingVcn, uint32_t bufferBytes,
                                  RetrievalPointers* pointers) override;
    uint32_t GetFinalPath(std::wstring* path) override;
    uint32_t GetReparsePoint(uint32_t* tag, std::wstring* substituteName) override;
    uint32_t SetCompression(uint16_t format) override;
    uint32_t GetLengthInfo(uint64_t* length) override;

private:
    // DeviceIoControl; ERROR_SUCCESS or GetLastError(), with the bytes returned.
    uint32_t Control(DWORD code, const void* in, DWORD inBytes, void* out, DWORD outBytes,
                     DWORD* returned);

    CScopedHandle m_handle;
};

// What FindFirstFileW / FindNextFileW found, as the seam reports it.
FindData ToFindData(const WIN32_FIND_DATAW& found);

class CWin32FindHandle : public IFindHandle {
public:
    explicit CWin32FindHandle(HANDLE handle) : m_find(handle) {}
    uint32_t Next(FindData* data) override;

private:
    CScopedFind m_find;
};

}  // namespace qmz
