// Forwards to another file system and lets a test act at an exact moment: on the Nth
// write (on the worker thread, outside any lock) and on every read request.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace qmz {

class CHookedFileSystem : public IFileSystem {
public:
    explicit CHookedFileSystem(IFileSystem* inner) : m_inner(inner) {}

    // Called before every write (or zeroing) with the 1-based count so far and the path
    // the handle was opened with. Set it before the operation is queued.
    std::function<void(uint32_t writeNumber, const std::wstring& path)> m_beforeWrite;

    // Renames, deletions, removals and truncations, as "Call path[ -> target]".
    std::vector<std::wstring> Changes() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_changes;
    }

    // Sizes asked for by reads, in order.
    std::vector<uint32_t> ReadRequests() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_readRequests;
    }

    uint32_t GetAttributes(const std::wstring& p, uint32_t* a) override {
        return m_inner->GetAttributes(p, a);
    }
    uint32_t GetAttributesEx(const std::wstring& p, FileAttributeData* d) override {
        return m_inner->GetAttributesEx(p, d);
    }
    uint32_t SetAttributes(const std::wstring& p, uint32_t a) override {
        return m_inner->SetAttributes(p, a);
    }
    uint32_t FindFirst(const std::wstring& p, std::unique_ptr<IFindHandle>* f,
                       FindData* d) override {
        return m_inner->FindFirst(p, f, d);
    }
    uint32_t Open(const std::wstring& path, uint32_t access, uint32_t share, uint32_t disposition,
                  uint32_t flags, std::unique_ptr<IFileHandle>* handle) override;
    uint32_t CreateFolder(const std::wstring& p) override { return m_inner->CreateFolder(p); }
    uint32_t Move(const std::wstring& f, const std::wstring& t) override {
        RecordChange(L"Move " + f + L" -> " + t);
        return m_inner->Move(f, t);
    }
    uint32_t Delete(const std::wstring& p) override {
        RecordChange(L"Delete " + p);
        return m_inner->Delete(p);
    }
    uint32_t RemoveFolder(const std::wstring& p) override {
        RecordChange(L"RemoveFolder " + p);
        return m_inner->RemoveFolder(p);
    }
    uint32_t MakeWritable(const std::wstring& p) override { return m_inner->MakeWritable(p); }
    uint32_t GetVolumePath(const std::wstring& p, std::wstring* v) override {
        return m_inner->GetVolumePath(p, v);
    }
    uint32_t GetVolumeNameForMountPoint(const std::wstring& p, std::wstring* v) override {
        return m_inner->GetVolumeNameForMountPoint(p, v);
    }
    uint32_t QueryFreeSpace(const std::wstring& r, DiskFreeSpace* s) override {
        return m_inner->QueryFreeSpace(r, s);
    }
    uint32_t QueryFreeSpaceEx(const std::wstring& p, DiskFreeSpaceEx* s) override {
        return m_inner->QueryFreeSpaceEx(p, s);
    }

private:
    friend class CHookedHandle;
    void BeforeWrite(const std::wstring& path);
    void RecordRead(uint32_t length);
    void RecordChange(const std::wstring& change) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_changes.push_back(change);
    }

    IFileSystem* m_inner;
    std::mutex m_mutex;
    std::vector<uint32_t> m_readRequests;
    std::vector<std::wstring> m_changes;
    std::atomic<uint32_t> m_writes{0};
};

}  // namespace qmz
