#pragma once

#include "platform/Dialog.h"
#include "ui/PreferencesModel.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The General page of the preferences: start with the system, what happens to the uploaded
// image's address, the folder and the clipboard outputs, the image format and the hot keys.
// There is no OK step: every click goes straight into the application's live values.
class cPanelGeneral : public Dialog {
public:
    explicit cPanelGeneral(const PreferencesModel& model);

protected:
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

private:
    // One exchange from all controls into the members, or from the members into the controls.
    void readControls();
    void showMembers();
    void applyOutputChoices();
    void enableFolderControls();
    void passFolderOn();
    void browseForFolder();
    void editHotKeys();

    PreferencesModel model;
    std::int32_t copyUrlCheck = 0;
    std::int32_t openBrowserCheck = 0;
    std::int32_t copyImageCheck = 0;
    std::int32_t runAtStartupCheck = 0;
    std::int32_t saveToFolderCheck = 0;
    std::wstring folderText;
    HWND folderEdit = nullptr;
    HWND browseButton = nullptr;
    HWND formatCombo = nullptr;
};
