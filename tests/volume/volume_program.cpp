#include "tests/volume/volume_program.h"

#include <objbase.h>

#include "com/dispatch_call.h"
#include "registration/com_ids.h"

namespace qmz::volumetest {

CVolumeProgram::CVolumeProgram(DWORD method) : m_program(gui::ProgramPath()), m_window(&m_program) {
    gui::SetSetting(L"EraseMethod", method);
    // A normal start registers the server and its class object, so COM hands the call to
    // this process rather than starting another.
    m_ready = m_program.Start() && SUCCEEDED(CoCreateInstance(
                                       GuidFromText(kMainAutoClassId), nullptr, CLSCTX_LOCAL_SERVER,
                                       IID_IDispatch, m_automation.ReceiveVoid()));
}

CVolumeProgram::~CVolumeProgram() {
    m_automation.Reset();
}

::testing::AssertionResult CVolumeProgram::Request(DISPID method, const std::wstring& root,
                                                   const wchar_t* kind) {
    if (method != kDoRecycleBin && root.empty()) {
        return ::testing::AssertionFailure() << "no drive proven to be the image";
    }
    const int rows = m_window.Rows();
    const std::wstring argument = L"\"" + root + L"\" ";
    std::wstring error;
    const HRESULT called = CallDispatchMethod(
        m_automation.Get(), method, method == kDoRecycleBin ? nullptr : &argument, &error);
    if (FAILED(called)) {
        return ::testing::AssertionFailure() << "the automation call failed: " << Utf8(error);
    }
    if (!m_window.WaitForRows(rows + 1)) {
        return ::testing::AssertionFailure() << "no row came for " << Utf8(root);
    }
    const std::wstring path = m_window.Cell(rows, 1);
    const std::wstring shownKind = m_window.Cell(rows, 2);
    if ((method != kDoRecycleBin && path != root) || shownKind != kind) {
        return ::testing::AssertionFailure()
               << "the row reads " << Utf8(path) << " | " << Utf8(shownKind);
    }
    return ::testing::AssertionSuccess();
}

void CVolumeProgram::AnswerQuestion() {
    HWND box = m_program.WaitForOtherWindow(0);
    if (box == nullptr) {
        return;
    }
    m_questions.push_back(gui::MessageBoxText(box));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, 0), 0);
    gui::WaitUntil(3000, [&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

bool CVolumeProgram::Ended() const {
    // A whole-volume erase reports its delete phase before its fill has run.
    return m_window.Rows() == 0 && m_window.Rows(gui::kResultList) > 0;
}

bool CVolumeProgram::WaitForEnd(DWORD milliseconds) {
    return gui::WaitUntil(milliseconds, [&] {
        AnswerQuestion();
        return Ended();
    });
}

std::vector<ResultRow> CVolumeProgram::Results() const {
    std::vector<ResultRow> rows;
    for (int row = 0; row < m_window.Rows(gui::kResultList); ++row) {
        rows.push_back(
            {m_window.Cell(row, 0, gui::kResultList), m_window.Cell(row, 1, gui::kResultList),
             m_window.Cell(row, 2, gui::kResultList), m_window.Cell(row, 3, gui::kResultList),
             m_window.Cell(row, 4, gui::kResultList)});
    }
    return rows;
}

bool CVolumeProgram::Close() {
    m_automation.Reset();
    PostMessageW(m_program.Window(), WM_CLOSE, 0, 0);
    return gui::WaitUntil(20000, [&] {
        AnswerQuestion();
        return m_program.WaitForExit(0);
    });
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

std::string Describe(const ResultRow& row) {
    return Utf8(row.name + L" | " + row.path + L" | " + row.operation + L" | " + row.status +
                L" | failures: " + row.failures);
}

}  // namespace qmz::volumetest
