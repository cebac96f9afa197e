#include "app/win/win32_platform.h"

#include "platform/win32/system_version.h"

namespace qmz {

CWin32Platform::CWin32Platform() : m_random(GetTickCount()) {
    m_services.sink = &m_sink;
    m_services.messageBox = &m_messageBox;
    m_services.clock = &m_clock;
    m_services.random = &m_random;
    m_services.fileSystem = &m_fileSystem;
    m_services.registry = &m_registry;
    m_services.shell = &m_shell;
    m_services.codePage = &m_codePage;
    m_services.volumes = &m_volumes;
    const SystemVersion version = ReadSystemVersion();
    m_versionKnown = version.known;
    m_services.isVistaOrLater = IsVistaOrLater(version);
}

}  // namespace qmz
