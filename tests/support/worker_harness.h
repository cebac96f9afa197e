// A queue and its worker wired to simulated platform pieces, with the main window's
// side played by the test: it reads the posts in order and removes what is done.
#pragma once

#include <vector>

#include "ops/control_operations.h"
#include "ops/operation_queue.h"
#include "ops/worker.h"
#include "tests/support/sim_platform.h"

namespace qmz {

class CWorkerHarness {
public:
    explicit CWorkerHarness(const MethodEntry* sharedCustomMethod = nullptr);
    ~CWorkerHarness();

    COperationQueue& Queue() { return m_queue; }
    CSimPlatform& Platform() { return m_platform; }
    CRecordingSink& Sink() { return m_platform.Sink(); }
    CFakeClock& Clock() { return m_platform.Clock(); }
    CRecordingMessageBox& MessageBoxes() { return m_platform.MessageBoxes(); }
    CWorkerThread& Worker() { return m_worker; }

    // Queues a clone of `operation` that reaches the simulated platform, as every
    // operation the program creates reaches the real one.
    COperationBase* Append(const CEraseOperationBase& operation);

    void StartWorker();
    // Plays the main window until WM_OPERATION_DONE for `operation`: every operation
    // reported done is removed from the queue. Returns the messages seen.
    std::vector<PostedMessage> RunUntilDone(COperationBase* operation);

    template <class T>
    COperationBase* Insert() {
        return m_queue.InsertControlOperation(T());
    }

private:
    CSimPlatform m_platform;
    COperationQueue m_queue;
    CWorkerThread m_worker;  // last: stopped before anything it uses goes away
};

// The messages of `all` that concern `operation`, in order.
std::vector<PostedMessage> MessagesFor(const std::vector<PostedMessage>& all,
                                       const COperationBase* operation);

}  // namespace qmz
