#include "tests/volume/image_drive.h"

#include <cstdio>
#include <cstdlib>

#include "platform/win32/unique_handle.h"
#include "tests/gui/program_driver.h"

namespace qmz::volumetest {
namespace {

constexpr wchar_t kTokenName[] = L"qmz-image-token.txt";

std::wstring Environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? value : L"";
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) {
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return narrow;
}

bool WriteAll(const std::wstring& path, const std::string& text) {
    CScopedHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

}  // namespace

CImageDrive::CImageDrive()
    : m_drive(Environment(L"QMZ_IMAGE_DRIVE")),
      m_token(Narrow(Environment(L"QMZ_IMAGE_TOKEN"))),
      m_mebibytes(static_cast<uint64_t>(_wtoi(Environment(L"QMZ_IMAGE_MIB").c_str()))),
      m_work(Environment(L"QMZ_VOLUME_WORK")),
      m_channel(Environment(L"QMZ_VOLUME_CHANNEL")) {}

std::wstring CImageDrive::Path(const std::wstring& name) const {
    return m_provenRoot.empty() ? std::wstring() : m_provenRoot + name;
}

::testing::AssertionResult CImageDrive::Prove() {
    m_provenRoot.clear();
    if (m_drive.size() != 2 || m_drive[1] != L':' || m_token.empty() || m_mebibytes == 0 ||
        m_channel.empty()) {
        return ::testing::AssertionFailure()
               << "not run by with_image_drive.sh (QMZ_IMAGE_DRIVE and friends are unset)";
    }
    const std::string mapped = Ask("check", Narrow(m_drive), 10000);
    if (mapped != "image") {
        return ::testing::AssertionFailure()
               << "the host says of " << Narrow(m_drive) << ": " << mapped;
    }
    const std::wstring root = m_drive + L"\\";
    const std::string token = gui::Contents(root + kTokenName);
    if (token != m_token) {
        return ::testing::AssertionFailure()
               << Narrow(root) << " does not hold the image's token (read '" << token << "')";
    }
    ULARGE_INTEGER available = {}, total = {}, free = {};
    if (!GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free)) {
        return ::testing::AssertionFailure() << "GetDiskFreeSpaceExW: " << GetLastError();
    }
    if (total.QuadPart == 0 || total.QuadPart > ImageBytes()) {
        return ::testing::AssertionFailure() << Narrow(root) << " holds " << total.QuadPart
                                             << " bytes: not the " << m_mebibytes << " MiB image";
    }
    m_provenRoot = root;
    return ::testing::AssertionSuccess();
}

std::string CImageDrive::Ask(const std::string& verb, const std::string& argument,
                             DWORD milliseconds) {
    if (m_channel.empty()) {
        return "error: no channel to the host";
    }
    const std::wstring base = m_channel + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++m_nextRequest);
    const std::wstring partial = base + L".partial-request";
    const std::wstring answer = base + L".answer";
    // Renamed once whole, so that the watcher never reads half a request.
    if (!WriteAll(partial, verb + "\n" + argument) ||
        !MoveFileW(partial.c_str(), (base + L".request").c_str())) {
        return "error: cannot write the request";
    }
    if (!gui::WaitUntil(milliseconds, [&] {
            return GetFileAttributesW(answer.c_str()) != INVALID_FILE_ATTRIBUTES;
        })) {
        return "error: no answer to " + verb;
    }
    const std::string text = gui::Contents(answer);
    DeleteFileW(answer.c_str());
    return text;
}

uint64_t CImageDrive::FreeBytes() {
    return AnswerNumber(Ask("free"), "avail");
}

std::vector<HostEntry> CImageDrive::Tree() {
    const std::string answer = Ask("tree");
    if (answer.rfind("error:", 0) == 0) {
        return {{"error", answer}};
    }
    std::vector<HostEntry> entries;
    size_t start = 0;
    while (start < answer.size()) {
        size_t end = answer.find('\n', start);
        end = end == std::string::npos ? answer.size() : end;
        const std::string line = answer.substr(start, end - start);
        const size_t blank = line.find(' ');
        if (blank != std::string::npos) {
            entries.push_back({line.substr(0, blank), line.substr(blank + 1)});
        }
        start = end + 1;
    }
    return entries;
}

int64_t CImageDrive::MarkerCount(const std::string& marker) {
    const uint64_t count = AnswerNumber(Ask("scan", marker, 120000), "count");
    return count == UINT64_MAX ? -1 : static_cast<int64_t>(count);
}

bool CImageDrive::StartSampling() {
    return Ask("sample-start") == "ok";
}

FillSample CImageDrive::StopSampling() {
    const std::string answer = Ask("sample-stop");
    FillSample sample;
    sample.minAvailable = AnswerNumber(answer, "minavail");
    sample.fillFiles = AnswerList(answer, "temps");
    sample.maxResidentKib = AnswerNumber(answer, "maxrss");
    for (const std::string& value : AnswerList(answer, "values")) {
        sample.pageValues.push_back(std::atoi(value.c_str()));
    }
    return sample;
}

uint64_t AnswerNumber(const std::string& answer, const std::string& name) {
    const std::string key = name + "=";
    size_t at = answer.find(key);
    // The key at the start or after a blank: "avail=" must not match inside "minavail=".
    while (at != std::string::npos && at != 0 && answer[at - 1] != ' ') {
        at = answer.find(key, at + 1);
    }
    if (at == std::string::npos) {
        return UINT64_MAX;
    }
    const char* digits = answer.c_str() + at + key.size();
    if (*digits < '0' || *digits > '9') {
        return UINT64_MAX;
    }
    return std::strtoull(digits, nullptr, 10);
}

std::vector<std::string> AnswerList(const std::string& answer, const std::string& name) {
    std::vector<std::string> items;
    const std::string key = " " + name + "=";
    const size_t at = (" " + answer).find(key);
    if (at == std::string::npos) {
        return items;
    }
    size_t start = at + key.size() - 1;
    const size_t end = std::min(answer.find(' ', start), answer.size());
    while (start < end) {
        size_t comma = std::min(answer.find(',', start), end);
        items.push_back(answer.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

}  // namespace qmz::volumetest
