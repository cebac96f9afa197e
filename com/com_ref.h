// An owned COM interface pointer: released when replaced or destroyed.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <unknwn.h>

namespace qmz {

template <class T>
class CComRef {
public:
    CComRef() = default;
    // Takes over a reference the caller already owns.
    explicit CComRef(T* owned) : m_pointer(owned) {}
    ~CComRef() { Reset(); }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;
    CComRef(CComRef&& other) noexcept : m_pointer(other.Detach()) {}
    CComRef& operator=(CComRef&& other) noexcept {
        if (this != &other) {
            Reset(other.Detach());
        }
        return *this;
    }

    T* Get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    // For out-parameters: drops the current reference first.
    T** Receive() {
        Reset();
        return &m_pointer;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    void Reset(T* owned = nullptr) {
        if (m_pointer != nullptr) {
            m_pointer->Release();
        }
        m_pointer = owned;
    }
    T* Detach() {
        T* pointer = m_pointer;
        m_pointer = nullptr;
        return pointer;
    }

private:
    T* m_pointer = nullptr;
};

}  // namespace qmz
