// Where the worker thread reports to the main window: posted, never sent.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

namespace qmz {

class COperationBase;

// Private messages of the main window (WM_APP based, stable values).
constexpr uint32_t WM_OPERATION_STATUS = WM_APP + 1;
constexpr uint32_t WM_OPERATION_DONE = WM_APP + 2;
constexpr uint32_t WM_OPERATION_ITEM_RESULT = WM_APP + 3;
constexpr uint32_t WM_TRAY_NOTIFY = WM_APP + 4;

class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    // Queues `message` with the operation as its parameter and returns at once.
    // Returns false when the message could not be queued (the receiver is gone);
    // the caller then still owns anything it meant to hand over.
    virtual bool Post(uint32_t message, COperationBase* operation) = 0;
};

}  // namespace qmz
