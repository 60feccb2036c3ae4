#pragma once

#include "platform/AppException.h"
#include "platform/Dialog.h"
#include "ui/PreferencesModel.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Where captures are uploaded, as chosen by the radio buttons: the built-in service, the user's
// own server, or nowhere.
enum UploadTarget : std::int32_t { TargetBuiltIn = 0, TargetCustom = 1, TargetNone = 2 };

// The FTP page of the preferences: the upload target, the user's own server with Save, a trial
// connection and a look at the server's folders. The target takes effect on the click; the
// server's fields when Save or Test stores them.
class cPanelFTP : public Dialog {
public:
    explicit cPanelFTP(const PreferencesModel& model);

    // What a failed trial connection tells the user; server as it was tried.
    static std::wstring connectErrorText(const AppException& error, bool custom,
                                         const std::wstring& server);

protected:
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

private:
    void readControls();
    void showMembers();
    void updateFieldVisibility();
    bool validateAndStore();
    void testConnection();
    void browseRemoteFolders();
    void showMessage(const std::wstring& text, UINT icon);

    PreferencesModel model;
    HWND serverEdit = nullptr;
    HWND userEdit = nullptr;
    HWND passwordEdit = nullptr;
    HWND pathEdit = nullptr;
    HWND urlEdit = nullptr;
    HWND serverLabel = nullptr;
    HWND userLabel = nullptr;
    HWND passwordLabel = nullptr;
    HWND pathLabel = nullptr;
    HWND urlLabel = nullptr;
    std::wstring serverText;
    std::wstring userText;
    std::wstring passwordText;
    std::wstring pathText;
    std::wstring urlText;
    std::int32_t uploadTarget = TargetBuiltIn;
    bool showingMembers = false;
};
