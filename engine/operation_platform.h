// How the erase engine reaches the system: through the platform its operation carries.
#pragma once

#include "engine/exact_path_file_system.h"
#include "ops/operation.h"
#include "platform/platform_services.h"

namespace qmz {

inline const PlatformServices& PlatformOf(const CEraseOperationBase* operation) {
    return *operation->m_platform;
}

// The seam piece nearly every erase routine needs, addressing exactly what each path names.
inline CExactPathFileSystem FileSystemOf(const CEraseOperationBase* operation) {
    return CExactPathFileSystem(PlatformOf(operation).fileSystem);
}

// Null when the platform has no such piece; the callers treat that as a failed step.
inline IRegistry* RegistryOf(const CEraseOperationBase* operation) {
    return PlatformOf(operation).registry;
}

inline IShell* ShellOf(const CEraseOperationBase* operation) {
    return PlatformOf(operation).shell;
}

}  // namespace qmz
