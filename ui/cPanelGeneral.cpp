#include "ui/cPanelGeneral.h"

#include "hotkeys/cKeySettingsDlg.h"
#include "platform/ComPtr.h"
#include "platform/DialogData.h"
#include "res/PreferencesIds.h"

#include <shlobj.h>

namespace {

// The formats offered, in the order of their codes; BMP (2) is not offered.
constexpr const wchar_t* kFormatNames[] = {L"PNG", L"JPG"};
constexpr std::int32_t kFormatCount = 2;

// A picked shell item, freed with the shell's allocator.
class PickedItem {
public:
    explicit PickedItem(PIDLIST_ABSOLUTE item) noexcept : item_(item) {}
    PickedItem(const PickedItem&) = delete;
    PickedItem& operator=(const PickedItem&) = delete;
    ~PickedItem() {
        ComPtr<IMalloc> allocator;
        if (item_ && SUCCEEDED(::SHGetMalloc(allocator.put())))
            allocator->Free(item_);
    }
    PIDLIST_ABSOLUTE get() const noexcept { return item_; }

private:
    PIDLIST_ABSOLUTE item_;
};

} // namespace

cPanelGeneral::cPanelGeneral(const PreferencesModel& model)
    : Dialog(IDD_PANEL_GENERAL), model(model) {}

bool cPanelGeneral::onInitDialog() {
    folderEdit = item(IDC_FOLDER);
    browseButton = item(IDC_BROWSE_FOLDER);
    formatCombo = item(IDC_FORMAT);

    runAtStartupCheck = model.runAtStartup != 0 ? 1 : 0;
    copyUrlCheck = model.ftp.copyUrl() ? 1 : 0;
    openBrowserCheck = model.ftp.openBrowser() ? 1 : 0;
    copyImageCheck = model.clipboardOutputOn != 0 ? 1 : 0;
    saveToFolderCheck = model.diskOutputOn != 0 ? 1 : 0;
    folderText = model.disk.folder();
    enableFolderControls();

    for (const wchar_t* name : kFormatNames)
        DialogData::addComboItem(hwnd(), IDC_FORMAT, name);
    // Opening the preferences turns a format the page does not offer (BMP) into PNG, for good.
    if (model.outputFormat < 0 || model.outputFormat >= kFormatCount)
        model.outputFormat = 0;
    DialogData::setComboSelection(hwnd(), IDC_FORMAT, model.outputFormat);

    showMembers();
    return true;
}

bool cPanelGeneral::onCommand(int id, int code, HWND) {
    if (id == IDC_FOLDER && code == EN_KILLFOCUS) {
        // What the user sees in the edit is what the next capture uses.
        readControls();
        passFolderOn();
        return true;
    }
    if (id == IDC_FORMAT && code == CBN_SELENDOK) {
        readControls();
        model.outputFormat = DialogData::comboSelection(hwnd(), IDC_FORMAT);
        return true;
    }
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_RUN_AT_STARTUP:
        readControls();
        model.runAtStartup = runAtStartupCheck;
        return true;
    case IDC_COPY_URL:
    case IDC_COPY_IMAGE:
    case IDC_OPEN_BROWSER:
    case IDC_SAVE_TO_FOLDER:
        readControls();
        // The address and the image both go to the clipboard: checking one clears the other.
        if (id == IDC_COPY_URL && copyUrlCheck)
            copyImageCheck = 0;
        if (id == IDC_COPY_IMAGE && copyImageCheck)
            copyUrlCheck = 0;
        applyOutputChoices();
        return true;
    case IDC_BROWSE_FOLDER:
        browseForFolder();
        return true;
    case IDC_HOTKEYS:
        editHotKeys();
        return true;
    default:
        return false;
    }
}

void cPanelGeneral::readControls() {
    HWND page = hwnd();
    runAtStartupCheck = DialogData::checked(page, IDC_RUN_AT_STARTUP);
    copyUrlCheck = DialogData::checked(page, IDC_COPY_URL);
    openBrowserCheck = DialogData::checked(page, IDC_OPEN_BROWSER);
    copyImageCheck = DialogData::checked(page, IDC_COPY_IMAGE);
    saveToFolderCheck = DialogData::checked(page, IDC_SAVE_TO_FOLDER);
    folderText = DialogData::text(page, IDC_FOLDER);
}

void cPanelGeneral::showMembers() {
    HWND page = hwnd();
    DialogData::setChecked(page, IDC_RUN_AT_STARTUP, runAtStartupCheck);
    DialogData::setChecked(page, IDC_COPY_URL, copyUrlCheck);
    DialogData::setChecked(page, IDC_OPEN_BROWSER, openBrowserCheck);
    DialogData::setChecked(page, IDC_COPY_IMAGE, copyImageCheck);
    DialogData::setChecked(page, IDC_SAVE_TO_FOLDER, saveToFolderCheck);
    // Setting the same text again would move the caret; only a changed folder is written.
    if (DialogData::text(page, IDC_FOLDER) != folderText)
        DialogData::setText(page, IDC_FOLDER, folderText);
}

void cPanelGeneral::applyOutputChoices() {
    model.ftp.setCopyUrl(copyUrlCheck != 0);
    model.ftp.setOpenBrowser(openBrowserCheck != 0);
    model.clipboardOutputOn = copyImageCheck;
    model.diskOutputOn = saveToFolderCheck;
    passFolderOn();
    enableFolderControls();
    showMembers();
}

void cPanelGeneral::enableFolderControls() {
    ::EnableWindow(folderEdit, saveToFolderCheck ? TRUE : FALSE);
    ::EnableWindow(browseButton, saveToFolderCheck ? TRUE : FALSE);
}

void cPanelGeneral::passFolderOn() {
    // The whole text as typed: the disk output reports a folder it cannot write to.
    model.disk.setFolder(folderText);
}

void cPanelGeneral::browseForFolder() {
    BROWSEINFOW request{};
    request.hwndOwner = hwnd();
    request.lpszTitle = L"Select output folder...";
    PickedItem picked(::SHBrowseForFolderW(&request));
    if (!picked.get())
        return;
    wchar_t path[MAX_PATH] = {};
    // An item outside the file system (a printer, the network) has no folder to write into.
    if (!::SHGetPathFromIDListW(picked.get(), path))
        return;
    folderText = path;
    showMembers();
    passFolderOn();
}

void cPanelGeneral::editHotKeys() {
    cKeySettingsDlg dialog(&model.hotKeys);
    dialog.runModal(hwnd());
}
