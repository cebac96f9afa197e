// A 32-bit field that one thread writes whole and another reads without a lock.
#pragma once

#include <atomic>
#include <cstdint>

namespace qmz {

class SharedInt32 {
public:
    SharedInt32(int32_t value = 0) : m_value(value) {}
    // Copies take the value as it is now (operations are cloned field by field).
    SharedInt32(const SharedInt32& other) : m_value(other.Load()) {}
    SharedInt32& operator=(const SharedInt32& other) {
        Store(other.Load());
        return *this;
    }
    SharedInt32& operator=(int32_t value) {
        Store(value);
        return *this;
    }
    operator int32_t() const { return Load(); }
    int32_t Load() const { return m_value.load(); }
    void Store(int32_t value) { m_value.store(value); }

private:
    std::atomic<int32_t> m_value;
};

}  // namespace qmz
