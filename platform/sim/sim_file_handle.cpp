#include "platform/sim/sim_file_handle.h"

#include <algorithm>

#include "platform/sim/sim_seek.h"
#include "platform/win_types.h"

namespace qmz {

namespace {

// FILE_STREAM_INFO: 24 bytes of fixed fields, then the name, each entry 8-byte aligned.
uint32_t StreamEntryBytes(const std::wstring& name) {
    const uint32_t bytes = 24 + static_cast<uint32_t>(name.size()) * 2;
    return (bytes + 7) & ~7u;
}

// RETRIEVAL_POINTERS_BUFFER: a 16-byte header, then 16 bytes per extent.
constexpr uint32_t kRetrievalHeaderBytes = 16;
constexpr uint32_t kRetrievalExtentBytes = 16;

}  // namespace

CSimFileHandle::CSimFileHandle(std::shared_ptr<CSimState> state, std::shared_ptr<CSimNode> node,
                               std::shared_ptr<CSimStream> stream, uint64_t openId, uint32_t access,
                               uint32_t flags)
    : m_state(std::move(state)),
      m_node(std::move(node)),
      m_stream(std::move(stream)),
      m_openId(openId),
      m_access(access),
      m_flags(flags) {
    m_state->m_handles.insert(this);  // constructed under the lock
}

CSimFileHandle::~CSimFileHandle() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    if (!m_ended) {
        EndLocked();
    }
}

void CSimFileHandle::EndLocked() {
    m_ended = true;
    m_state->m_handles.erase(this);
    m_state->Close(*m_node, m_openId, (m_flags & FILE_FLAG_DELETE_ON_CLOSE) != 0);
}

uint32_t CSimFileHandle::Enter(SimCall call, uint32_t neededAccess, bool needsStream,
                               uint32_t* limit) {
    const std::wstring name = m_stream ? m_stream->Name() : L"";
    const uint32_t fault =
        m_state->m_faults.Check(call, m_state->StreamPathOf(*m_node, name), limit);
    if (fault != ERROR_SUCCESS) {
        return fault;
    }
    if (m_ended) {
        return ERROR_INVALID_HANDLE;
    }
    if (needsStream && !m_stream) {
        return ERROR_INVALID_FUNCTION;  // a folder has no data of its own
    }
    if (neededAccess != 0 && (m_access & neededAccess) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    return ERROR_SUCCESS;
}

uint32_t CSimFileHandle::CheckUnbuffered(const void* buffer, uint32_t length) const {
    if ((m_flags & FILE_FLAG_NO_BUFFERING) == 0) {
        return ERROR_SUCCESS;
    }
    const uint64_t sector = Volume().Geometry().bytesPerSector;
    const bool aligned = m_position % sector == 0 && length % sector == 0 &&
                         reinterpret_cast<uintptr_t>(buffer) % sector == 0;
    return aligned ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}

uint32_t CSimFileHandle::Read(void* buffer, uint32_t length, uint32_t* bytesRead) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    *bytesRead = 0;
    uint32_t limit = length;
    uint32_t error = Enter(SimCall::kRead, kSimReadAccess, true, &limit);
    if (error == ERROR_SUCCESS) {
        error = CheckUnbuffered(buffer, length);
    }
    if (error != ERROR_SUCCESS) {
        return error;
    }
    auto* out = static_cast<uint8_t*>(buffer);
    *bytesRead = m_stream->Read(Volume(), m_position, out, std::min(length, limit));
    m_state->Journal(SimCall::kRead, *m_node, m_stream->Name(), m_position, *bytesRead, out,
                     length);
    m_position += *bytesRead;
    return ERROR_SUCCESS;
}

uint32_t CSimFileHandle::Write(const void* buffer, uint32_t length, uint32_t* bytesWritten) {
    std::unique_lock<std::mutex> lock(m_state->m_mutex);
    *bytesWritten = 0;
    uint32_t limit = length;
    uint32_t error = Enter(SimCall::kWrite, kSimWriteAccess, true, &limit);
    if (error == ERROR_SUCCESS) {
        error = CheckUnbuffered(buffer, length);
    }
    const auto* data = static_cast<const uint8_t*>(buffer);
    const uint32_t count = std::min(length, limit);
    if (error == ERROR_SUCCESS) {
        error = m_stream->Write(Volume(), m_position, data, count);
    }
    if (error != ERROR_SUCCESS) {
        return error;
    }
    m_state->Journal(SimCall::kWrite, *m_node, m_stream->Name(), m_position, count, data, length);
    m_position += count;
    *bytesWritten = count;
    m_state->ReleaseAfterWrite(lock, m_state->StreamPathOf(*m_node, m_stream->Name()));
    return ERROR_SUCCESS;
}

uint32_t CSimFileHandle::Seek(int64_t distance, uint32_t moveMethod, uint64_t* newPosition) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const uint32_t error = Enter(SimCall::kSeek, 0, false);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    return MoveFilePointer(&m_position, distance, moveMethod, m_stream ? m_stream->Size() : 0,
                           newPosition);
}

uint32_t CSimFileHandle::Flush() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const uint32_t error = Enter(SimCall::kFlush, kSimWriteAccess, true);
    if (error == ERROR_SUCCESS) {
        m_state->Journal(SimCall::kFlush, *m_node, m_stream->Name(), 0, 0);
    }
    return error;
}

uint32_t CSimFileHandle::SetEndOfFile() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    uint32_t error = Enter(SimCall::kSetEndOfFile, kSimWriteAccess, true);
    if (error == ERROR_SUCCESS) {
        error = m_stream->Resize(Volume(), m_position);
    }
    if (error == ERROR_SUCCESS) {
        m_state->Journal(SimCall::kSetEndOfFile, *m_node, m_stream->Name(), m_position, 0);
    }
    return error;
}

uint32_t CSimFileHandle::GetSize(uint64_t* size) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const uint32_t error = Enter(SimCall::kGetSize, 0, false);
    if (error == ERROR_SUCCESS) {
        *size = m_stream ? m_stream->Size() : 0;
    }
    return error;
}

uint32_t CSimFileHandle::QueryStreams(uint32_t bufferBytes, std::vector<StreamInfo>* streams) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    streams->clear();
    const uint32_t error = Enter(SimCall::kQueryStreams, 0, false);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    std::vector<StreamInfo> all;
    if (const auto main = m_node->FindStream(L"")) {
        all.push_back({L"::$DATA", main->Size(), main->AllocatedBytes(Volume())});
    }
    for (const auto& named : m_node->NamedStreams()) {
        all.push_back(
            {L":" + named->Name() + L":$DATA", named->Size(), named->AllocatedBytes(Volume())});
    }
    if (all.empty()) {
        return ERROR_HANDLE_EOF;  // what NTFS answers for a folder without streams
    }
    if (bufferBytes < 24) {
        return ERROR_INSUFFICIENT_BUFFER;
    }
    uint32_t used = 0;
    for (const StreamInfo& info : all) {
        used += StreamEntryBytes(info.name);
        if (used > bufferBytes) {
            return ERROR_MORE_DATA;
        }
        streams->push_back(info);
    }
    return ERROR_SUCCESS;
}

uint32_t CSimFileHandle::SetZeroOnDeallocation() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const uint32_t error = Enter(SimCall::kSetZeroOnDeallocation, 0, true);
    if (error == ERROR_SUCCESS) {
        m_stream->m_zeroOnDeallocation = true;
        m_state->Journal(SimCall::kSetZeroOnDeallocation, *m_node, m_stream->Name(), 0, 0);
    }
    return error;
}

uint32_t CSimFileHandle::QueryAllocatedRanges(uint64_t offset, uint64_t length, uint32_t maxRanges,
                                              std::vector<AllocatedRange>* ranges) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    ranges->clear();
    const uint32_t error = Enter(SimCall::kQueryAllocatedRanges, kSimReadAccess, true);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (maxRanges == 0) {
        return ERROR_INSUFFICIENT_BUFFER;
    }
    *ranges = m_stream->AllocatedRanges(Volume(), offset, length);
    if (ranges->size() > maxRanges) {
        ranges->resize(maxRanges);
        return ERROR_MORE_DATA;
    }
    return ERROR_SUCCESS;
}

uint32_t CSimFileHandle::SetZeroData(uint64_t begin, uint64_t end) {
    std::unique_lock<std::mutex> lock(m_state->m_mutex);
    uint32_t error = Enter(SimCall::kSetZeroData, kSimWriteAccess, true);
    if (error == ERROR_SUCCESS && begin > end) {
        error = ERROR_INVALID_PARAMETER;
    }
    if (error == ERROR_SUCCESS) {
        m_stream->ZeroRange(Volume(), begin, end);
        m_state->Journal(SimCall::kSetZeroData, *m_node, m_stream->Name(), begin, end - begin);
        m_state->ReleaseAfterWrite(lock, m_state->StreamPathOf(*m_node, m_stream->Name()));
    }
    return error;
}

uint32_t CSimFileHandle::GetRetrievalPointers(int64_t startingVcn, uint32_t bufferBytes,
                                              RetrievalPointers* pointers) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    *pointers = RetrievalPointers();
    uint32_t limit = UINT32_MAX;
    const uint32_t error = Enter(SimCall::kGetRetrievalPointers, 0, true, &limit);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (bufferBytes < kRetrievalHeaderBytes + kRetrievalExtentBytes) {
        return ERROR_INSUFFICIENT_BUFFER;
    }
    if (startingVcn < 0) {
        return ERROR_INVALID_PARAMETER;
    }
    *pointers = m_stream->Extents(startingVcn);
    if (pointers->extents.empty()) {
        return ERROR_HANDLE_EOF;  // nothing allocated at or after that VCN
    }
    const size_t fit =
        std::min<size_t>((bufferBytes - kRetrievalHeaderBytes) / kRetrievalExtentBytes, limit);
    if (pointers->extents.size() > fit) {
        pointers->extents.resize(fit);
        return ERROR_MORE_DATA;
    }
    return ERROR_SUCCESS;
}

uint32_t CSimFileHandle::GetFinalPath(std::wstring* path) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const uint32_t error = Enter(SimCall::kGetFinalPath, 0, false);
    if (error == ERROR_SUCCESS) {
        // A volume without a drive letter is named by its GUID path, already verbatim; a
        // share by its UNC name, even through a drive letter.
        const std::wstring plain = m_state->PathOf(*m_node);
        const CSimVolume& volume = Volume();
        if (volume.IsShare()) {
            *path = L"\\\\?\\UNC\\" + volume.Share().substr(2) + L"\\" +
                    plain.substr(std::min(plain.size(), volume.DisplayRoot().size()));
        } else {
            *path = plain.compare(0, 4, L"\\\\?\\") == 0 ? plain : L"\\\\?\\" + plain;
        }
    }
    return error;
}

uint32_t CSimFileHandle::GetReparsePoint(uint32_t* tag, std::wstring* substituteName) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const uint32_t error = Enter(SimCall::kGetReparsePoint, 0, false);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    switch (m_node->m_reparse) {
        case SimReparse::kJunction:
            *tag = IO_REPARSE_TAG_MOUNT_POINT;
            *substituteName = L"\\??\\" + m_node->m_target;
            return ERROR_SUCCESS;
        case SimReparse::kMountPoint:
            *tag = IO_REPARSE_TAG_MOUNT_POINT;
            *substituteName = L"\\??\\Volume" + m_node->m_mounted->Guid() + L"\\";
            return ERROR_SUCCESS;
        case SimReparse::kSymlink:
            *tag = IO_REPARSE_TAG_SYMLINK;
            *substituteName = L"\\??\\" + m_node->m_target;
            return ERROR_SUCCESS;
        case SimReparse::kNone:
        case SimReparse::kHostLink:  // never held: opening one reaches its target
            break;
    }
    return ERROR_NOT_A_REPARSE_POINT;
}

uint32_t CSimFileHandle::SetCompression(uint16_t format) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    uint32_t error = Enter(SimCall::kSetCompression, 0, false);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    // FSCTL_SET_COMPRESSION asks for both read and write access to the data.
    if ((m_access & kSimReadAccess) == 0 || (m_access & kSimWriteAccess) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    if (!Volume().SupportsCompression()) {
        return ERROR_INVALID_FUNCTION;
    }
    if (format > kCompressionFormatLznt1) {
        return ERROR_INVALID_PARAMETER;
    }
    const bool mainData = !m_stream || m_stream->Name().empty();
    const bool compressed = m_stream ? m_stream->m_compression != COMPRESSION_FORMAT_NONE
                                     : (m_node->m_attributes & FILE_ATTRIBUTE_COMPRESSED) != 0;
    if (m_stream && compressed && format == COMPRESSION_FORMAT_NONE) {
        error = m_stream->Rewrite(Volume());
        if (error != ERROR_SUCCESS) {
            return error;
        }
    }
    if (m_stream) {
        m_stream->m_compression = format;
    }
    if (mainData) {
        m_node->m_attributes = format == COMPRESSION_FORMAT_NONE
                                   ? m_node->m_attributes & ~FILE_ATTRIBUTE_COMPRESSED
                                   : m_node->m_attributes | FILE_ATTRIBUTE_COMPRESSED;
    }
    m_state->Journal(SimCall::kSetCompression, *m_node, m_stream ? m_stream->Name() : L"", format,
                     0);
    return ERROR_SUCCESS;
}

uint32_t CSimFileHandle::GetLengthInfo(uint64_t* length) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    *length = 0;
    const uint32_t error = Enter(SimCall::kGetLengthInfo, 0, false);
    return error != ERROR_SUCCESS ? error : ERROR_INVALID_FUNCTION;
}

}  // namespace qmz
