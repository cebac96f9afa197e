// A queue and its worker wired to simulated platform pieces, with the main window's
// side played by the test: it reads the posts in order and removes what is done.
#pragma once

#include <vector>

#include "ops/control_operations.h"
#include "ops/operation_queue.h"
#include "ops/worker.h"
#include "platform/sim/sim_services.h"
#include "tests/support/recording_sink.h"

namespace qmz {

class CWorkerHarness {
public:
    explicit CWorkerHarness(const MethodEntry* sharedCustomMethod = nullptr);
    ~CWorkerHarness();

    COperationQueue& Queue() { return m_queue; }
    CRecordingSink& Sink() { return m_sink; }
    CFakeClock& Clock() { return m_clock; }
    CRecordingMessageBox& MessageBoxes() { return m_messageBoxes; }
    CWorkerThread& Worker() { return m_worker; }

    void StartWorker();
    // Plays the main window until WM_OPERATION_DONE for `operation`: every operation
    // reported done is removed from the queue. Returns the messages seen.
    std::vector<PostedMessage> RunUntilDone(COperationBase* operation);

    template <class T>
    COperationBase* Insert() {
        return m_queue.InsertControlOperation(T());
    }

private:
    CRecordingSink m_sink;
    CFakeClock m_clock;
    CLcgRandom m_random{1};
    CRecordingMessageBox m_messageBoxes;
    PlatformServices m_services;
    COperationQueue m_queue;
    CWorkerThread m_worker;  // last: stopped before anything it uses goes away
};

// The messages of `all` that concern `operation`, in order.
std::vector<PostedMessage> MessagesFor(const std::vector<PostedMessage>& all,
                                       const COperationBase* operation);

}  // namespace qmz
