// A file system that forwards every call to the real one and tallies, per kind of call,
// how many were made and how long they took. The benchmarks use it to say where an
// erase spends its time, what the worker was doing when a command arrived, and whether
// anything was written while the erase was paused. It only observes: every call and
// its result are the real system's.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace qmz::bench {

enum class SeamCall {
    kFindFirst,
    kFindNext,
    kFindClose,
    kOpen,
    kClose,
    kRead,
    kWrite,
    kSeek,
    kSetEndOfFile,
    kFlush,
    kQueryStreams,
    kGetAttributes,
    kSetAttributes,
    kMove,
    kDelete,
    kRemoveFolder,
    kVolumePath,
    kMountPoint,
    kFreeSpace,
    kOther,
    kCount,
};

struct CallTally {
    std::atomic<uint64_t> calls{0};
    std::atomic<uint64_t> nanoseconds{0};
    std::atomic<uint64_t> maxNanoseconds{0};
    // Time from the end of such a call to the start of the next call: the engine's own
    // work (and whatever else the process did) between the two.
    std::atomic<uint64_t> gapAfterNanoseconds{0};
};

class CSeamProfile {
public:
    using Clock = std::chrono::steady_clock;

    // Runs `call` as one call of `kind` and returns its result. Calls come from one
    // thread (the worker), one after the other.
    template <class Call>
    uint32_t Time(SeamCall kind, Call&& call) {
        m_inCall.store(static_cast<int>(kind));
        const Clock::time_point start = Clock::now();
        const uint32_t result = call();
        Record(kind, start, Clock::now());
        m_inCall.store(kNoCall);
        return result;
    }
    void AddWritten(uint64_t bytes) { m_bytesWritten.fetch_add(bytes); }

    // Readable from any thread while the worker runs.
    uint64_t BytesWritten() const { return m_bytesWritten.load(); }
    // The call the worker is inside right now, or null between calls.
    const char* CallInProgress() const;
    const CallTally& Tally(SeamCall kind) const { return m_tallies[static_cast<int>(kind)]; }

    // One line per kind of call made: count, count per item, total, share of `seconds`,
    // and the time spent outside the file system after it.
    void Print(std::FILE* out, uint64_t items, double seconds) const;

private:
    static constexpr int kNoCall = -1;
    void Record(SeamCall kind, Clock::time_point start, Clock::time_point end);

    CallTally m_tallies[static_cast<int>(SeamCall::kCount)];
    std::atomic<uint64_t> m_bytesWritten{0};
    std::atomic<int> m_inCall{kNoCall};
    int m_lastCall = kNoCall;  // the worker's alone, like m_lastEnd
    Clock::time_point m_lastEnd;
};

class CTimedFileSystem : public IFileSystem {
public:
    explicit CTimedFileSystem(IFileSystem* inner) : m_inner(inner) {}
    CSeamProfile& Profile() { return m_profile; }

    uint32_t GetAttributes(const std::wstring& path, uint32_t* attributes) override;
    uint32_t GetAttributesEx(const std::wstring& path, FileAttributeData* data) override;
    uint32_t SetAttributes(const std::wstring& path, uint32_t attributes) override;
    uint32_t FindFirst(const std::wstring& pattern, std::unique_ptr<IFindHandle>* find,
                       FindData* first) override;
    uint32_t Open(const std::wstring& path, uint32_t access, uint32_t share, uint32_t disposition,
                  uint32_t flags, std::unique_ptr<IFileHandle>* handle) override;
    uint32_t CreateFolder(const std::wstring& path) override;
    uint32_t Move(const std::wstring& from, const std::wstring& to) override;
    uint32_t Delete(const std::wstring& path) override;
    uint32_t RemoveFolder(const std::wstring& path) override;
    uint32_t MakeWritable(const std::wstring& path) override;
    uint32_t GetVolumePath(const std::wstring& path, std::wstring* volumePath) override;
    uint32_t GetVolumeNameForMountPoint(const std::wstring& mountPoint,
                                        std::wstring* volumeName) override;
    uint32_t QueryFreeSpace(const std::wstring& root, DiskFreeSpace* space) override;
    uint32_t QueryFreeSpaceEx(const std::wstring& path, DiskFreeSpaceEx* space) override;

private:
    IFileSystem* m_inner;
    CSeamProfile m_profile;
};

}  // namespace qmz::bench
