// The file and folder erase operations. Their classes also serve as the records of
// item results: the record's class tells the main window what kind of item it was.
#pragma once

#include "ops/operation.h"
#include "ops/operation_names.h"
#include "platform/file_system.h"

namespace qmz {

template <class Derived, OperationKind kKind>
class CFileEraseOperation : public CEraseOperationOf<Derived, kKind> {
public:
    // Totals the files, folders and bytes under m_path.
    void EstimateWork() override;
};

class CEraseFile : public CFileEraseOperation<CEraseFile, OperationKind::kEraseFile> {
public:
    void Execute() override;
};

class CEraseFolderOnly
    : public CFileEraseOperation<CEraseFolderOnly, OperationKind::kEraseFolderOnly> {
public:
    void Execute() override;
    void EstimateWork() override;  // the folder itself: nothing is written
};

class CEraseFolderAndContents
    : public CFileEraseOperation<CEraseFolderAndContents, OperationKind::kEraseFolderAndContents> {
public:
    void Execute() override;
};

class CEraseContentsOfFolder
    : public CFileEraseOperation<CEraseContentsOfFolder, OperationKind::kEraseContentsOfFolder> {
public:
    void Execute() override;
};

// The shared estimate: files, folders and size under the operation's path, and the
// bytes that every pass of its method writes.
void EstimateTree(CEraseOperationBase* operation);

}  // namespace qmz
