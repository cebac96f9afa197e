// The seam as one bundle: the worker and the engine reach the system only through it.
#pragma once

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/message_sink.h"
#include "platform/random.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/volumes.h"

namespace qmz {

struct PlatformServices {
    IMessageSink* sink = nullptr;
    IMessageBox* messageBox = nullptr;
    IClock* clock = nullptr;
    IRandom* random = nullptr;
    IFileSystem* fileSystem = nullptr;
    IRegistry* registry = nullptr;
    IShell* shell = nullptr;
    ICodePage* codePage = nullptr;
    IVolumes* volumes = nullptr;
    // Operating-system major version 6 or more; decides how compressed, encrypted
    // and sparse streams are wiped.
    bool isVistaOrLater = true;
};

}  // namespace qmz
