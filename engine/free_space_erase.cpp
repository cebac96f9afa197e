#include "engine/free_space_erase.h"

#include <memory>
#include <vector>

#include "engine/file_erase.h"
#include "engine/operation_platform.h"
#include "engine/overwrite_core.h"
#include "engine/path_helpers.h"
#include "ops/check_point.h"
#include "ops/no_case.h"
#include "ops/operation_queue.h"

namespace qmz {
namespace {

constexpr uint32_t kFillFileFlags = FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE |
                                    FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_NO_BUFFERING;
// Free space left after a failed chunk that shows the failure was not the end of space:
// twice a chunk, beyond what a file system keeps back for the file's own records.
constexpr uint64_t kRoomToSpareClusters = 2 * kFillChunkClusters;
// A root crowded with files of our names is not worth searching further.
constexpr uint32_t kMaxNameAttempts = 4096;

bool NoCompressionHere(uint32_t error) {
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

class CFill {
public:
    CFill(CEraseOperationBase* operation, const std::wstring& root)
        : m_operation(operation),
          m_fileSystem(FileSystemOf(operation)),
          m_root(WithTrailingBackslash(root)) {}

    // Whatever the outcome, every fill file is on the disk as written and then closed,
    // which deletes it.
    ~CFill() { CloseAll(); }

    int Run();

private:
    bool IsVolumeRoot();
    // Far from the end of space and of the file, a pass covers a large chunk at once: each
    // pass must reach the disk before the next, and a flush every 128 clusters would cost
    // a third of the speed. Near the end, the chunks are the small ones that shrink.
    bool UseLargeChunk(uint64_t chunk, uint64_t written) const {
        const uint64_t large = kLargeChunkClusters * m_cluster;
        return m_largeChunks && chunk == kFillChunkClusters * m_cluster &&
               m_freeAtStart >= m_filled + 2 * large && written + large <= m_fileLimit;
    }
    // Opens the next fill file and switches its compression off; false when that fails.
    bool OpenNextFile();
    // Stops the fill at a check point: an abort, or a finish request the user made.
    bool StopRequested();
    // 1 when every fill file's last passes are on the disk: only then is the fill done.
    int Flushed();
    void CloseAll();

    CEraseOperationBase* m_operation;
    CExactPathFileSystem m_fileSystem;
    std::wstring m_root;
    uint64_t m_cluster = 0;
    uint64_t m_fileLimit = 0;
    uint64_t m_fileBudget = 1;
    uint64_t m_freeAtStart = 0;
    uint64_t m_filled = 0;  // by every good chunk of every file
    bool m_largeChunks = true;
    bool m_limitChosen = false;
    uint32_t m_nextNumber = 1;
    std::unique_ptr<CPassBuffers> m_buffers;  // one set for every chunk of the fill
    std::vector<std::unique_ptr<IFileHandle>> m_files;
};

int CFill::Run() {
    DiskFreeSpace geometry;
    DiskFreeSpaceEx space;
    if (!IsVolumeRoot() || m_fileSystem.QueryFreeSpace(m_root, &geometry) != ERROR_SUCCESS ||
        m_fileSystem.QueryFreeSpaceEx(m_root, &space) != ERROR_SUCCESS) {
        return 0;
    }
    // A quota would end the fill while free space the user cannot reach stays unerased.
    if (space.freeBytesToCaller != space.totalFreeBytes) {
        return 0;
    }
    m_cluster = static_cast<uint64_t>(geometry.sectorsPerCluster) * geometry.bytesPerSector;
    if (m_cluster == 0) {
        return 0;
    }
    m_fileLimit = space.totalFreeBytes;
    m_freeAtStart = space.totalFreeBytes;
    m_buffers = std::make_unique<CPassBuffers>(static_cast<uint32_t>(m_cluster));
    if (!m_buffers->pattern || !m_buffers->compare || !OpenNextFile()) {
        return 0;
    }

    uint64_t chunk = kFillChunkClusters * m_cluster;
    uint64_t written = 0;  // to the current file
    for (;;) {
        if (StopRequested()) {
            return 0;
        }
        if (written >= m_fileLimit) {
            if (m_fileSystem.QueryFreeSpaceEx(m_root, &space) != ERROR_SUCCESS) {
                return 0;
            }
            if (space.totalFreeBytes == 0) {
                return Flushed();
            }
            // Finishing the current file is all a finish-file request allows.
            if (m_files.size() >= m_fileBudget || m_operation->m_finishFileLatched != 0 ||
                !OpenNextFile()) {
                return 0;
            }
            chunk = kFillChunkClusters * m_cluster;
            written = 0;
        }
        // Each chunk starts where the last good one ended: a failed attempt may have
        // reached part of its chunk with fewer passes than the method has, so the
        // smaller retry covers those clusters again; and a sampling verification leaves
        // the position wherever its last sample was.
        IFileHandle* file = m_files.back().get();
        if (file->Seek(static_cast<int64_t>(written), FILE_BEGIN, nullptr) != ERROR_SUCCESS) {
            return 0;
        }
        const bool large = UseLargeChunk(chunk, written);
        const uint64_t length = large ? kLargeChunkClusters * m_cluster : chunk;
        if (RunPasses(m_operation, file, static_cast<uint32_t>(m_cluster), length,
                      PassFlush::kAllButLast, m_buffers.get()) != 0) {
            written += length;
            m_filled += length;
            continue;
        }
        if (m_operation->m_request == RequestAbort || IsStopped(m_operation)) {
            return 0;
        }
        if (large) {
            m_largeChunks = false;  // the end is nearer than it seemed: small chunks from here
            continue;
        }
        // A write that failed with room to spare met a broken disk or a lost handle, not
        // the end of space: the free space is not erased, and the item must not say it is.
        if (m_fileSystem.QueryFreeSpaceEx(m_root, &space) != ERROR_SUCCESS ||
            space.totalFreeBytes >= kRoomToSpareClusters * m_cluster) {
            return 0;
        }
        chunk -= m_cluster;
        if (chunk == 0) {
            return Flushed();  // not even one more cluster fits
        }
    }
}

bool CFill::IsVolumeRoot() {
    // Fill files anywhere but a volume's root would be left where nobody looks for
    // them, and a relative path names wherever the current directory happens to be.
    std::wstring volume;
    return IsAbsolutePath(m_root) && m_fileSystem.GetVolumePath(m_root, &volume) == ERROR_SUCCESS &&
           EqualsNoCase(WithTrailingBackslash(volume), m_root);
}

bool CFill::OpenNextFile() {
    std::unique_ptr<IFileHandle> file;
    uint32_t rc = ERROR_FILE_EXISTS;
    // A file of the user's that bears a fill file's name is never opened, let alone
    // truncated and deleted: the next number is taken instead.
    for (uint32_t attempt = 0; rc == ERROR_FILE_EXISTS || rc == ERROR_ALREADY_EXISTS; ++attempt) {
        if (attempt == kMaxNameAttempts) {
            return false;
        }
        rc = m_fileSystem.Open(FillFileName(m_root, m_nextNumber++), GENERIC_READ | GENERIC_WRITE,
                               0, CREATE_NEW, kFillFileFlags, &file);
    }
    if (rc != ERROR_SUCCESS) {
        return false;
    }
    const uint32_t compression = file->SetCompression(COMPRESSION_FORMAT_NONE);
    if (compression != ERROR_SUCCESS && !NoCompressionHere(compression)) {
        return false;  // `file` closes, and so deletes, here
    }
    if (!m_limitChosen) {
        m_limitChosen = true;
        if (compression != ERROR_SUCCESS) {
            // Without compression control the file system is FAT-like: its files are
            // kept well below their 4 GiB limit.
            m_fileBudget = m_fileLimit / kFillFileLimitWithoutCompression + 1;
            m_fileLimit = kFillFileLimitWithoutCompression;
        }
    }
    m_files.push_back(std::move(file));
    return true;
}

bool CFill::StopRequested() {
    if (!CheckControlPoint(m_operation)) {
        return true;
    }
    // A finish-cycle request stops after the pass under way; the rest of the free space
    // is not erased, so the item must not be reported as done.
    return IsStopped(m_operation);
}

int CFill::Flushed() {
    for (std::unique_ptr<IFileHandle>& file : m_files) {
        if (file->Flush() != ERROR_SUCCESS) {
            return 0;
        }
    }
    return 1;
}

void CFill::CloseAll() {
    // The last pass of each chunk was left unflushed; it must reach the disk before
    // the file is deleted, or the cache would drop it with the file.
    for (std::unique_ptr<IFileHandle>& file : m_files) {
        file->Flush();
        file.reset();
    }
    m_files.clear();
}

}  // namespace

std::wstring FillFileName(const std::wstring& root, uint32_t number) {
    std::wstring name = kFillFileName;
    if (number > 1) {
        name += std::to_wstring(number);
    }
    return JoinPath(root, name);
}

int FillFreeSpace(CEraseOperationBase* operation, const std::wstring& root) {
    return CFill(operation, root).Run();
}

int32_t PhaseStatus(const CEraseOperationBase* operation, int result) {
    if (result != 0) {
        return StatusCompleted;
    }
    return operation->m_request == RequestAbort ? StatusAborted : StatusFailedOther;
}

void CEraseFreeSpace::EstimateWork() {
    DiskFreeSpaceEx space;
    CExactPathFileSystem fileSystem = FileSystemOf(this);
    const uint64_t passes = m_method != nullptr ? CountPasses(*m_method) : 0;
    m_bytesToWrite =
        fileSystem.QueryFreeSpaceEx(WithTrailingBackslash(m_path), &space) == ERROR_SUCCESS
            ? passes * space.totalFreeBytes
            : 0;
    m_fileCount = 1;
    m_folderCount = 0;
}

void CEraseFreeSpace::Execute() {
    m_status = PhaseStatus(this, FillFreeSpace(this, m_path));
    ReportRecord(this, NewRecord<CEraseFreeSpace>(), m_status);
}

}  // namespace qmz
