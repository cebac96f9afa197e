// The count of live objects and LockServer locks of one COM server module: a DLL may be
// unloaded only when it is zero. Class-object references are not counted (a client
// that keeps a class object calls LockServer).
#pragma once

#include <windows.h>

namespace qmz {

class CModuleLock {
public:
    void Lock() { InterlockedIncrement(&m_count); }
    void Unlock() { InterlockedDecrement(&m_count); }
    LONG Count() const { return InterlockedCompareExchange(const_cast<LONG*>(&m_count), 0, 0); }

private:
    LONG m_count = 0;
};

// Holds one lock for the life of an object.
class CModuleLockHold {
public:
    explicit CModuleLockHold(CModuleLock* lock) : m_lock(lock) { m_lock->Lock(); }
    ~CModuleLockHold() { m_lock->Unlock(); }
    CModuleLockHold(const CModuleLockHold&) = delete;
    CModuleLockHold& operator=(const CModuleLockHold&) = delete;

private:
    CModuleLock* m_lock;
};

}  // namespace qmz
