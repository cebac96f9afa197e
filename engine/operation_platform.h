// How the erase engine reaches the system: through the platform its operation carries.
#pragma once

#include "ops/operation.h"
#include "platform/platform_services.h"

namespace qmz {

inline const PlatformServices& PlatformOf(const CEraseOperationBase* operation) {
    return *operation->m_platform;
}

}  // namespace qmz
