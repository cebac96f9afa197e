// The main window's requests: the known folders and the request factory, the picker,
// the drop target, the request buttons and the drive dialog, external requests and the
// start-erase command.
#include <windows.h>

#include "resources/string_ids.h"
#include "ui/model/page_model.h"
#include "ui/resource_ids.h"
#include "ui/win/qmz4_drives.h"
#include "ui/win/qmz4_main.h"
#include "ui/win/resource_texts.h"

namespace qmz {

void CQMZ4Main::InitRequests() {
    const PlatformServices* platform = m_env.platform;
    KnownFolderTable folders = ResolveKnownFolders(platform->shell, platform->fileSystem);
    m_env.coordinator->SetDesktopFolder(folders.desktop);
    m_requests = std::make_unique<CRequestFactory>(platform, std::move(folders));
    m_requests->SetMethod(m_settings.EffectiveMethod);
    m_requests->SetIncludeSuperHidden(m_settings.IncludeSuperHidden);

    PickerSetup setup;
    setup.resources = m_env.resources;
    setup.title = m_title;
    setup.buttonLabel = Text(IDS_PICKER_SELECT);
    setup.filter = Text(IDS_ALL_FILES_FILTER);
    setup.errorMessagePrefix = m_env.errorMessagePrefix;
    m_picker = CreateFilePicker(platform->isVistaOrLater ? 6 : 5, std::move(setup));

    m_dropTarget = std::make_unique<CQMZ4DropTarget>(
        [this](const std::wstring& pathList) { AddFileAndFolderRequest(pathList); },
        [this](const std::wstring& detail) { InternalError(detail); });
    if (!m_dropTarget->Register(m_hwnd)) {
        // Without an owner, as at start-up; the window then simply takes no drops.
        ShowInternalError(nullptr, m_env.errorMessagePrefix, m_title,
                          L"Register() of DropTarget failed");
    }
}

void CQMZ4Main::AddFileAndFolderRequest(const std::wstring& pathList) {
    // The start-up timer must not hand the command line over a second time.
    if (m_startupState == 0) {
        m_startupState = 1;
    }
    const int32_t first = AddAll(m_env.coordinator, m_requests->ForPathList(pathList));
    FinishExternalRequest(first, kPageBasic);
}

void CQMZ4Main::AddExternalRequest(OperationList operations, int tab) {
    FinishExternalRequest(AddAll(m_env.coordinator, std::move(operations)), tab);
}

void CQMZ4Main::WhenInitialised(std::function<void()> request) {
    if (m_initialised) {
        request();
    } else {
        m_pendingRequests.push_back(std::move(request));
    }
}

void CQMZ4Main::DoFilesAndFolders(const std::wstring& pathList) {
    WhenInitialised([this, pathList] { AddFileAndFolderRequest(pathList); });
}

void CQMZ4Main::DoFreeSpace(const std::wstring& rootList) {
    WhenInitialised(
        [this, rootList] { AddExternalRequest(m_requests->ForFreeSpace(rootList), kPageFull); });
}

void CQMZ4Main::DoEntirePartitions(const std::wstring& rootList) {
    WhenInitialised([this, rootList] {
        AddExternalRequest(m_requests->ForEntirePartitions(rootList), kPageFull);
    });
}

void CQMZ4Main::DoRecycleBin() {
    WhenInitialised([this] {
        OperationList operations;
        operations.push_back(
            m_requests->ForRecycleBin(Text(IDS_RECYCLE_BIN), m_settings.AllUsersRecycleBin));
        AddExternalRequest(std::move(operations), kPageFull);
    });
}

void CQMZ4Main::FinishExternalRequest(int32_t firstNewRow, int tab) {
    if (m_settings.Autorun == 1) {
        // Posted, so that the request's caller returns before the erase starts.
        PostMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(IDC_START_ERASE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(m_hwnd, IDC_START_ERASE)));
        return;
    }
    if (firstNewRow >= 0) {
        m_eraseList.EnsureVisible(firstNewRow);
    }
    SelectTab(tab);
    Restore();
    SetForegroundWindow(m_hwnd);
}

void CQMZ4Main::AddButtonRequest(OperationList operations) {
    const int32_t first = AddAll(m_env.coordinator, std::move(operations));
    if (first >= 0) {
        m_eraseList.EnsureVisible(first);
    }
}

void CQMZ4Main::OnPickItems() {
    PickerResult picked;
    if (m_picker == nullptr || !m_picker->Run(m_hwnd, m_browseFolder, &picked)) {
        return;  // cancelled, or the picker has said what failed
    }
    OperationList operations;
    for (const std::wstring& path : picked.paths) {
        operations.push_back(m_requests->ForPath(path));
    }
    AddButtonRequest(std::move(operations));
    if (!picked.folder.empty()) {
        m_browseFolder = picked.folder;
    }
}

void CQMZ4Main::OnChooseDrives(bool wholeVolume) {
    CQMZ4Drives dialog(m_env.resources, m_env.platform);
    dialog.SetExcludeWindowsVolume(wholeVolume);
    dialog.SetIncludeNetworkDrives(m_settings.IncludeNetworkDrives != 0);
    if (!dialog.Run(m_hwnd, m_title)) {
        return;
    }
    // One request line with every chosen path quoted: a mount folder may hold blanks.
    std::wstring roots;
    for (const CDriveInfo& drive : dialog.Chosen()) {
        roots += L"\"" + drive.path + L"\" ";
    }
    AddButtonRequest(wholeVolume ? m_requests->ForEntirePartitions(roots)
                                 : m_requests->ForFreeSpace(roots));
}

void CQMZ4Main::OnStartErase() {
    CProgrammaticChange change(this);
    m_env.coordinator->StartErase();
}

}  // namespace qmz
