#include "app/win/win32_platform.h"

namespace qmz {
namespace {

// Operating-system major version 6 or more, read once; `known` false when it cannot be.
bool ReadIsVistaOrLater(bool* known) {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    *known = GetVersionExW(&version) != FALSE;
    return !*known || version.dwMajorVersion >= 6;
}

}  // namespace

CWin32Platform::CWin32Platform() : m_random(GetTickCount()) {
    m_services.sink = &m_sink;
    m_services.messageBox = &m_messageBox;
    m_services.clock = &m_clock;
    m_services.random = &m_random;
    m_services.fileSystem = &m_fileSystem;
    m_services.registry = &m_registry;
    m_services.shell = &m_shell;
    m_services.isVistaOrLater = ReadIsVistaOrLater(&m_versionKnown);
}

}  // namespace qmz
