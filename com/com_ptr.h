// Sole owner of one reference to a COM object: released exactly once, when replaced or at
// the end of its owner's scope.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <unknwn.h>

#include <utility>

namespace qmz {

template <class Interface>
class CComPtr {
public:
    CComPtr() = default;
    // Takes over a reference the caller already owns.
    explicit CComPtr(Interface* owned) : m_object(owned) {}
    ~CComPtr() { Reset(); }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    CComPtr(CComPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    CComPtr& operator=(CComPtr&& other) noexcept {
        if (this != &other) {
            Attach(std::exchange(other.m_object, nullptr));
        }
        return *this;
    }

    Interface* Get() const { return m_object; }
    Interface* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // For an out-parameter: the object held so far is released first.
    Interface** Receive() {
        Reset();
        return &m_object;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    // Takes over a reference the caller already owns.
    void Attach(Interface* object) {
        Reset();
        m_object = object;
    }
    void Reset() {
        if (m_object != nullptr) {
            std::exchange(m_object, nullptr)->Release();
        }
    }

    template <class Other>
    HRESULT QueryInto(REFIID iid, CComPtr<Other>* target) const {
        return m_object->QueryInterface(iid, target->ReceiveVoid());
    }

private:
    Interface* m_object = nullptr;
};

}  // namespace qmz
