// The erase log: one record for every finished file and folder, appended to a file the
// user reads, as CSV or as blocks of lines.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ops/operation.h"
#include "platform/platform_services.h"
#include "ui/model/status_texts.h"

namespace qmz {

struct LogRecord {
    std::wstring itemPath;
    std::wstring kindName;
    std::wstring methodName;
    std::wstring statusText;
    std::wstring dateTime;  // local, in the user's default locale
    std::wstring account;   // DOMAIN\user, empty when unknown
};

// The record of a finished item, stamped with the current local time. The kind name
// comes from the loaded operation names, the method name from the record's method (a
// modified copy keeps the name of the method it was made from).
LogRecord MakeLogRecord(const CEraseOperationBase& record, const StatusTexts& statusTexts,
                        IClock* clock);

class CEraseLog {
public:
    // Files through `platform->fileSystem`, characters through `platform->codePage`.
    explicit CEraseLog(const PlatformServices* platform) : m_platform(platform) {}

    // Closes the open log, then opens `path` for appending: created when missing, never
    // truncated, others may read it but not write. A name ending in ".csv" (any case)
    // takes CSV records. False when the file cannot be opened.
    bool Open(const std::wstring& path);
    void Close() { m_file.reset(); }
    bool IsOpen() const { return m_file != nullptr; }
    bool IsCsv() const { return m_csv; }

    // Appends one record and flushes it to the disk. Line ends are CR LF; characters the
    // user's code page lacks are written as "<U+XXXX>", which no Windows file name
    // contains. False when the log is closed or the write failed.
    bool Write(const LogRecord& record);

private:
    std::string Encode(const std::wstring& text) const;

    const PlatformServices* m_platform;
    std::unique_ptr<IFileHandle> m_file;
    bool m_csv = false;
};

}  // namespace qmz
