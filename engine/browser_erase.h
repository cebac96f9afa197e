// Erases of well-known places rather than chosen paths: the browser's cache, cookies and
// history (with its history store and typed addresses), and the Windows temporary
// folders. Their folders are emptied, never removed.
#pragma once

#include "ops/operation.h"
#include "ops/operation_names.h"

namespace qmz {

template <class Derived, OperationKind kKind>
class CKnownFolderErase : public CEraseOperationOf<Derived, kKind> {
public:
    void EstimateWork() override;
};

class CEraseInternetTemp
    : public CKnownFolderErase<CEraseInternetTemp, OperationKind::kEraseInternetTemp> {
public:
    void Execute() override;
    int32_t m_enabled = 0;  // the request sets 1; anything else fails untouched
};

class CEraseInternetCookies
    : public CKnownFolderErase<CEraseInternetCookies, OperationKind::kEraseInternetCookies> {
public:
    void Execute() override;
    int32_t m_enabled = 0;
};

class CEraseInternetHistory
    : public CKnownFolderErase<CEraseInternetHistory, OperationKind::kEraseInternetHistory> {
public:
    void Execute() override;
    int32_t m_enabled = 0;
};

class CEraseWindowsTemp
    : public CKnownFolderErase<CEraseWindowsTemp, OperationKind::kEraseWindowsTemp> {
public:
    void Execute() override;
};

// The registry key of the browser's typed-address list, under HKEY_CURRENT_USER.
extern const wchar_t kTypedUrlsKey[];

}  // namespace qmz
