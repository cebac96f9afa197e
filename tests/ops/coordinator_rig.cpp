#include "tests/ops/coordinator_rig.h"

#include "ops/check_point.h"

namespace qmz {

CScriptedItem::CScriptedItem(std::wstring path, int steps) : m_steps(steps) {
    m_path = std::move(path);
}

void CScriptedItem::Execute() {
    int32_t status = m_endStatus;
    for (int step = 0; step < m_steps; ++step) {
        auto gate = m_gates.find(step);
        if (gate != m_gates.end()) {
            gate->second->Arrive();
        }
        if (!CheckControlPoint(this)) {
            status = StatusAborted;
            break;
        }
        ++*m_stepsDone;
    }
    for (const ScriptedResult& result : m_results) {
        auto record = std::make_unique<CScriptedItem>(result.path, 0);
        record->m_status = result.status;
        record->m_kind = result.kind;
        m_queue->PostItemResult(std::move(record));
    }
    m_status = status;
}

CScriptedItem& CScriptedItem::HoldBefore(int step, std::shared_ptr<CGate> gate) {
    m_gates[step] = std::move(gate);
    return *this;
}

CScriptedItem& CScriptedItem::Post(ScriptedResult result) {
    m_results.push_back(std::move(result));
    return *this;
}

CScriptedItem& CScriptedItem::EndWith(int32_t status) {
    m_endStatus = status;
    return *this;
}

CScriptedItem& CScriptedItem::OfKind(OperationKind kind) {
    m_kind = kind;
    return *this;
}

CCoordinatorRig::CCoordinatorRig(bool vistaOrLater)
    : m_platform(vistaOrLater),
      m_coordinator(m_platform.Services(), nullptr),
      m_window(&m_platform, &m_coordinator) {}

CCoordinatorRig::~CCoordinatorRig() {
    for (const auto& gate : m_gates) {
        gate->Release();
    }
}

std::shared_ptr<CGate> CCoordinatorRig::NewGate() {
    m_gates.push_back(std::make_shared<CGate>());
    return m_gates.back();
}

int32_t CCoordinatorRig::Add(const CEraseOperationBase& item) {
    std::unique_ptr<COperationBase> copy = item.Clone();
    return m_coordinator.AddRequest(
        std::unique_ptr<CEraseOperationBase>(static_cast<CEraseOperationBase*>(copy.release())));
}

bool CCoordinatorRig::Start() {
    m_coordinator.StartErase();
    return m_coordinator.StartWorker();
}

bool CCoordinatorRig::PumpAll() {
    return m_window.PumpUntil([this] { return m_platform.Sink().Pending() == 0; });
}

std::vector<std::wstring> CCoordinatorRig::RowCalls(int32_t row) const {
    const std::wstring status = L"status " + std::to_wstring(row) + L" ";
    const std::wstring remove = L"remove " + std::to_wstring(row);
    std::vector<std::wstring> calls;
    for (const std::wstring& call : m_window.Calls()) {
        if (call.rfind(status, 0) == 0 || call == remove) {
            calls.push_back(call);
        }
    }
    return calls;
}

}  // namespace qmz
