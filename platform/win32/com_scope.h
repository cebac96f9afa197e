// COM borrowed by one shell call on the calling thread, and the release of what it hands
// out. Include <windows.h> and <objbase.h> before this header.
#pragma once

namespace qmz {

// COM on the calling thread for as long as this object lives. A thread already in another
// apartment keeps it: only a successful initialisation here is undone here.
class CComScope {
public:
    CComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComScope() {
        if (SUCCEEDED(m_result)) {
            CoUninitialize();
        }
    }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;
    HRESULT Result() const { return m_result; }

private:
    HRESULT m_result;
};

// For std::unique_ptr of an interface pointer.
struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};

// For std::unique_ptr of shell ID lists and other CoTaskMemAlloc blocks.
struct CoTaskMemRelease {
    void operator()(void* block) const { CoTaskMemFree(block); }
};

}  // namespace qmz
