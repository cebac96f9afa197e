#include "ui/model/erase_log.h"

#include <cstdio>

#include "ops/no_case.h"

namespace qmz {
namespace {

const std::wstring kCsvSuffix = L".csv";

// The record as the C runtime's text mode would write it: each "\n" as CR LF.
std::wstring WithCrLf(const std::wstring& text) {
    std::wstring lines;
    lines.reserve(text.size() + 8);
    for (const wchar_t c : text) {
        if (c == L'\n') {
            lines += L'\r';
        }
        lines += c;
    }
    return lines;
}

std::wstring Layout(const LogRecord& record, bool csv) {
    const std::wstring* fields[] = {&record.itemPath,   &record.kindName, &record.methodName,
                                    &record.statusText, &record.dateTime, &record.account};
    std::wstring text;
    for (const std::wstring* field : fields) {
        if (csv) {
            if (!text.empty()) {
                text += L',';
            }
            text += L'"' + *field + L'"';
        } else {
            text += *field + L'\n';
        }
    }
    text += L'\n';
    return text;
}

std::string CodePointMark(uint32_t codePoint) {
    char mark[16];
    std::snprintf(mark, sizeof mark, "<U+%04X>", static_cast<unsigned>(codePoint));
    return mark;
}

}  // namespace

LogRecord MakeLogRecord(const CEraseOperationBase& record, const StatusTexts& statusTexts,
                        IClock* clock) {
    LogRecord line;
    line.itemPath = record.m_path;
    line.kindName = record.KindName();
    if (record.m_method != nullptr) {
        line.methodName = record.m_method->Name;
    }
    line.statusText = statusTexts.Text(record.m_status);
    line.dateTime = clock->LocalDateTimeText();
    line.account = record.m_userName;
    return line;
}

bool CEraseLog::Open(const std::wstring& path) {
    Close();
    m_csv = path.size() >= kCsvSuffix.size() &&
            EqualsNoCase(path.substr(path.size() - kCsvSuffix.size()), kCsvSuffix);
    std::unique_ptr<IFileHandle> file;
    if (m_platform->fileSystem->Open(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, &file) != ERROR_SUCCESS ||
        file->Seek(0, FILE_END, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    m_file = std::move(file);
    return true;
}

bool CEraseLog::Write(const LogRecord& record) {
    if (!m_file) {
        return false;
    }
    const std::string bytes = Encode(WithCrLf(Layout(record, m_csv)));
    size_t done = 0;
    while (done < bytes.size()) {
        uint32_t written = 0;
        if (m_file->Write(bytes.data() + done, static_cast<uint32_t>(bytes.size() - done),
                          &written) != ERROR_SUCCESS ||
            written == 0) {
            return false;
        }
        done += written;
    }
    return m_file->Flush() == ERROR_SUCCESS;
}

std::string CEraseLog::Encode(const std::wstring& text) const {
    ICodePage* codePage = m_platform->codePage;
    std::string bytes;
    if (codePage->ToAnsi(text, &bytes) == ERROR_SUCCESS) {
        return bytes;
    }
    // Some character is missing: one code point at a time, marking the missing ones.
    std::string encoded;
    for (size_t i = 0; i < text.size();) {
        uint32_t codePoint = 0;
        const size_t units = CodePointAt(text, i, &codePoint);
        if (codePage->ToAnsi(text.substr(i, units), &bytes) == ERROR_SUCCESS) {
            encoded += bytes;
        } else {
            encoded += CodePointMark(codePoint);
        }
        i += units;
    }
    return encoded;
}

}  // namespace qmz
