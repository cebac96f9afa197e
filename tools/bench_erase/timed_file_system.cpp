#include "tools/bench_erase/timed_file_system.h"

namespace qmz::bench {
namespace {

const char* const kCallNames[] = {
    "FindFirst",    "FindNext",      "FindClose",     "Open",         "Close",
    "Read",         "Write",         "Seek",          "SetEndOfFile", "Flush",
    "QueryStreams", "GetAttributes", "SetAttributes", "Move",         "Delete",
    "RemoveFolder", "GetVolumePath", "MountPoint",    "FreeSpace",    "Other",
};
static_assert(sizeof(kCallNames) / sizeof(kCallNames[0]) == static_cast<int>(SeamCall::kCount),
              "one name per call kind");

double Milliseconds(uint64_t nanoseconds) {
    return static_cast<double>(nanoseconds) / 1e6;
}

// Times the handle's calls and its closing, which under Wine is a server round trip.
class CTimedFileHandle : public IFileHandle {
public:
    CTimedFileHandle(std::unique_ptr<IFileHandle> inner, CSeamProfile* profile)
        : m_inner(std::move(inner)), m_profile(profile) {}
    ~CTimedFileHandle() override {
        m_profile->Time(SeamCall::kClose, [&] {
            m_inner.reset();
            return 0u;
        });
    }

    uint32_t Read(void* buffer, uint32_t length, uint32_t* bytesRead) override {
        return m_profile->Time(SeamCall::kRead,
                               [&] { return m_inner->Read(buffer, length, bytesRead); });
    }
    uint32_t Write(const void* buffer, uint32_t length, uint32_t* bytesWritten) override {
        const uint32_t rc = m_profile->Time(
            SeamCall::kWrite, [&] { return m_inner->Write(buffer, length, bytesWritten); });
        if (rc == ERROR_SUCCESS) {
            m_profile->AddWritten(*bytesWritten);
        }
        return rc;
    }
    uint32_t Seek(int64_t distance, uint32_t moveMethod, uint64_t* newPosition) override {
        return m_profile->Time(SeamCall::kSeek,
                               [&] { return m_inner->Seek(distance, moveMethod, newPosition); });
    }
    uint32_t SetEndOfFile() override {
        return m_profile->Time(SeamCall::kSetEndOfFile, [&] { return m_inner->SetEndOfFile(); });
    }
    uint32_t Flush() override {
        return m_profile->Time(SeamCall::kFlush, [&] { return m_inner->Flush(); });
    }
    uint32_t GetSize(uint64_t* size) override {
        return m_profile->Time(SeamCall::kOther, [&] { return m_inner->GetSize(size); });
    }
    uint32_t QueryStreams(uint32_t bufferBytes, std::vector<StreamInfo>* streams) override {
        return m_profile->Time(SeamCall::kQueryStreams,
                               [&] { return m_inner->QueryStreams(bufferBytes, streams); });
    }
    uint32_t SetZeroOnDeallocation() override {
        return m_profile->Time(SeamCall::kOther, [&] { return m_inner->SetZeroOnDeallocation(); });
    }
    uint32_t QueryAllocatedRanges(uint64_t offset, uint64_t length, uint32_t maxRanges,
                                  std::vector<AllocatedRange>* ranges) override {
        return m_profile->Time(SeamCall::kOther, [&] {
            return m_inner->QueryAllocatedRanges(offset, length, maxRanges, ranges);
        });
    }
    uint32_t SetZeroData(uint64_t begin, uint64_t end) override {
        return m_profile->Time(SeamCall::kOther, [&] { return m_inner->SetZeroData(begin, end); });
    }
    uint32_t GetRetrievalPointers(int64_t startingVcn, uint32_t bufferBytes,
                                  RetrievalPointers* pointers) override {
        return m_profile->Time(SeamCall::kOther, [&] {
            return m_inner->GetRetrievalPointers(startingVcn, bufferBytes, pointers);
        });
    }
    uint32_t GetFinalPath(std::wstring* path) override {
        return m_profile->Time(SeamCall::kOther, [&] { return m_inner->GetFinalPath(path); });
    }
    uint32_t GetReparsePoint(uint32_t* tag, std::wstring* substituteName) override {
        return m_profile->Time(SeamCall::kOther,
                               [&] { return m_inner->GetReparsePoint(tag, substituteName); });
    }
    uint32_t SetCompression(uint16_t format) override {
        return m_profile->Time(SeamCall::kOther, [&] { return m_inner->SetCompression(format); });
    }
    uint32_t GetLengthInfo(uint64_t* length) override {
        return m_profile->Time(SeamCall::kOther, [&] { return m_inner->GetLengthInfo(length); });
    }

private:
    std::unique_ptr<IFileHandle> m_inner;
    CSeamProfile* m_profile;
};

class CTimedFindHandle : public IFindHandle {
public:
    CTimedFindHandle(std::unique_ptr<IFindHandle> inner, CSeamProfile* profile)
        : m_inner(std::move(inner)), m_profile(profile) {}
    ~CTimedFindHandle() override {
        m_profile->Time(SeamCall::kFindClose, [&] {
            m_inner.reset();
            return 0u;
        });
    }
    uint32_t Next(FindData* data) override {
        return m_profile->Time(SeamCall::kFindNext, [&] { return m_inner->Next(data); });
    }

private:
    std::unique_ptr<IFindHandle> m_inner;
    CSeamProfile* m_profile;
};

}  // namespace

const char* CSeamProfile::CallInProgress() const {
    const int call = m_inCall.load();
    return call == kNoCall ? nullptr : kCallNames[call];
}

void CSeamProfile::Record(SeamCall kind, Clock::time_point start, Clock::time_point end) {
    const auto nanoseconds = [](Clock::duration elapsed) {
        return static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count());
    };
    const uint64_t ns = nanoseconds(end - start);
    CallTally& tally = m_tallies[static_cast<int>(kind)];
    tally.calls.fetch_add(1);
    tally.nanoseconds.fetch_add(ns);
    // The worker is the only writer, so a plain compare and store keeps the maximum.
    if (ns > tally.maxNanoseconds.load()) {
        tally.maxNanoseconds.store(ns);
    }
    if (m_lastCall != kNoCall) {
        m_tallies[m_lastCall].gapAfterNanoseconds.fetch_add(nanoseconds(start - m_lastEnd));
    }
    m_lastCall = static_cast<int>(kind);
    m_lastEnd = end;
}

void CSeamProfile::Print(std::FILE* out, uint64_t items, double seconds) const {
    std::fprintf(out, "%-13s %8s %8s %10s %6s %9s %8s %12s\n", "call", "count", "per item",
                 "total ms", "share", "mean us", "max ms", "gap after ms");
    uint64_t inCalls = 0;
    uint64_t inGaps = 0;
    for (int i = 0; i < static_cast<int>(SeamCall::kCount); ++i) {
        const CallTally& tally = m_tallies[i];
        const uint64_t calls = tally.calls.load();
        if (calls == 0) {
            continue;
        }
        inCalls += tally.nanoseconds.load();
        inGaps += tally.gapAfterNanoseconds.load();
        const double totalMs = Milliseconds(tally.nanoseconds.load());
        std::fprintf(out, "%-13s %8llu %8.2f %10.1f %5.1f%% %9.1f %8.2f %12.1f\n", kCallNames[i],
                     static_cast<unsigned long long>(calls),
                     static_cast<double>(calls) / static_cast<double>(items ? items : 1), totalMs,
                     100.0 * totalMs / 1e3 / seconds, totalMs * 1e3 / static_cast<double>(calls),
                     Milliseconds(tally.maxNanoseconds.load()),
                     Milliseconds(tally.gapAfterNanoseconds.load()));
    }
    std::fprintf(out, "in file-system calls %.1f s, between them %.1f s, of %.1f s\n",
                 Milliseconds(inCalls) / 1e3, Milliseconds(inGaps) / 1e3, seconds);
}

uint32_t CTimedFileSystem::GetAttributes(const std::wstring& path, uint32_t* attributes) {
    return m_profile.Time(SeamCall::kGetAttributes,
                          [&] { return m_inner->GetAttributes(path, attributes); });
}

uint32_t CTimedFileSystem::GetAttributesEx(const std::wstring& path, FileAttributeData* data) {
    return m_profile.Time(SeamCall::kGetAttributes,
                          [&] { return m_inner->GetAttributesEx(path, data); });
}

uint32_t CTimedFileSystem::SetAttributes(const std::wstring& path, uint32_t attributes) {
    return m_profile.Time(SeamCall::kSetAttributes,
                          [&] { return m_inner->SetAttributes(path, attributes); });
}

uint32_t CTimedFileSystem::FindFirst(const std::wstring& pattern,
                                     std::unique_ptr<IFindHandle>* find, FindData* first) {
    std::unique_ptr<IFindHandle> inner;
    const uint32_t rc = m_profile.Time(SeamCall::kFindFirst,
                                       [&] { return m_inner->FindFirst(pattern, &inner, first); });
    if (inner) {
        *find = std::make_unique<CTimedFindHandle>(std::move(inner), &m_profile);
    }
    return rc;
}

uint32_t CTimedFileSystem::Open(const std::wstring& path, uint32_t access, uint32_t share,
                                uint32_t disposition, uint32_t flags,
                                std::unique_ptr<IFileHandle>* handle) {
    std::unique_ptr<IFileHandle> inner;
    const uint32_t rc = m_profile.Time(SeamCall::kOpen, [&] {
        return m_inner->Open(path, access, share, disposition, flags, &inner);
    });
    if (inner) {
        *handle = std::make_unique<CTimedFileHandle>(std::move(inner), &m_profile);
    }
    return rc;
}

uint32_t CTimedFileSystem::CreateFolder(const std::wstring& path) {
    return m_profile.Time(SeamCall::kOther, [&] { return m_inner->CreateFolder(path); });
}

uint32_t CTimedFileSystem::Move(const std::wstring& from, const std::wstring& to) {
    return m_profile.Time(SeamCall::kMove, [&] { return m_inner->Move(from, to); });
}

uint32_t CTimedFileSystem::Delete(const std::wstring& path) {
    return m_profile.Time(SeamCall::kDelete, [&] { return m_inner->Delete(path); });
}

uint32_t CTimedFileSystem::RemoveFolder(const std::wstring& path) {
    return m_profile.Time(SeamCall::kRemoveFolder, [&] { return m_inner->RemoveFolder(path); });
}

uint32_t CTimedFileSystem::MakeWritable(const std::wstring& path) {
    return m_profile.Time(SeamCall::kSetAttributes, [&] { return m_inner->MakeWritable(path); });
}

uint32_t CTimedFileSystem::GetVolumePath(const std::wstring& path, std::wstring* volumePath) {
    return m_profile.Time(SeamCall::kVolumePath,
                          [&] { return m_inner->GetVolumePath(path, volumePath); });
}

uint32_t CTimedFileSystem::GetVolumeNameForMountPoint(const std::wstring& mountPoint,
                                                      std::wstring* volumeName) {
    return m_profile.Time(SeamCall::kMountPoint, [&] {
        return m_inner->GetVolumeNameForMountPoint(mountPoint, volumeName);
    });
}

uint32_t CTimedFileSystem::QueryFreeSpace(const std::wstring& root, DiskFreeSpace* space) {
    return m_profile.Time(SeamCall::kFreeSpace,
                          [&] { return m_inner->QueryFreeSpace(root, space); });
}

uint32_t CTimedFileSystem::QueryFreeSpaceEx(const std::wstring& path, DiskFreeSpaceEx* space) {
    return m_profile.Time(SeamCall::kFreeSpace,
                          [&] { return m_inner->QueryFreeSpaceEx(path, space); });
}

}  // namespace qmz::bench
