#include "tests/engine/hooked_file_system.h"

namespace qmz {

class CHookedHandle : public IFileHandle {
public:
    CHookedHandle(CHookedFileSystem* owner, std::unique_ptr<IFileHandle> inner,
                  const std::wstring& path)
        : m_owner(owner), m_inner(std::move(inner)), m_path(path) {}

    uint32_t Read(void* b, uint32_t n, uint32_t* r) override {
        m_owner->RecordRead(n);
        return m_inner->Read(b, n, r);
    }
    uint32_t Write(const void* b, uint32_t n, uint32_t* w) override {
        m_owner->BeforeWrite(m_path);
        return m_inner->Write(b, n, w);
    }
    uint32_t Seek(int64_t d, uint32_t m, uint64_t* p) override { return m_inner->Seek(d, m, p); }
    uint32_t SetEndOfFile() override {
        m_owner->RecordChange(L"SetEndOfFile " + m_path);
        return m_inner->SetEndOfFile();
    }
    uint32_t Flush() override { return m_inner->Flush(); }
    uint32_t GetSize(uint64_t* s) override { return m_inner->GetSize(s); }
    uint32_t QueryStreams(uint32_t b, std::vector<StreamInfo>* s) override {
        return m_inner->QueryStreams(b, s);
    }
    uint32_t SetZeroOnDeallocation() override { return m_inner->SetZeroOnDeallocation(); }
    uint32_t QueryAllocatedRanges(uint64_t o, uint64_t l, uint32_t m,
                                  std::vector<AllocatedRange>* r) override {
        return m_inner->QueryAllocatedRanges(o, l, m, r);
    }
    uint32_t SetZeroData(uint64_t b, uint64_t e) override {
        m_owner->BeforeWrite(m_path);  // zeroing is the write of these streams
        return m_inner->SetZeroData(b, e);
    }
    uint32_t GetRetrievalPointers(int64_t v, uint32_t b, RetrievalPointers* p) override {
        return m_inner->GetRetrievalPointers(v, b, p);
    }

private:
    CHookedFileSystem* m_owner;
    std::unique_ptr<IFileHandle> m_inner;
    std::wstring m_path;
};

uint32_t CHookedFileSystem::Open(const std::wstring& path, uint32_t access, uint32_t share,
                                 uint32_t disposition, uint32_t flags,
                                 std::unique_ptr<IFileHandle>* handle) {
    std::unique_ptr<IFileHandle> inner;
    const uint32_t rc = m_inner->Open(path, access, share, disposition, flags, &inner);
    if (rc == ERROR_SUCCESS) {
        *handle = std::make_unique<CHookedHandle>(this, std::move(inner), path);
    }
    return rc;
}

void CHookedFileSystem::BeforeWrite(const std::wstring& path) {
    const uint32_t number = ++m_writes;
    if (m_beforeWrite) {
        m_beforeWrite(number, path);
    }
}

void CHookedFileSystem::RecordRead(uint32_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_readRequests.push_back(length);
}

}  // namespace qmz
