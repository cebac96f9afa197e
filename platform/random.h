// The pseudo-random source of the overwrite passes (values 0..0x7FFF, like rand()).
#pragma once

#include <cstdint>

namespace qmz {

class IRandom {
public:
    virtual ~IRandom() = default;
    virtual uint32_t Next() = 0;
};

}  // namespace qmz
