#pragma once

#include "platform/AppException.h"
#include "platform/Dialog.h"
#include "ui/FtpPageWait.h"
#include "ui/PreferencesModel.h"
#include "ui/stFtpLogin.h"

#include <windows.h>

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

// Where captures are uploaded, as chosen by the radio buttons: the built-in service, the user's
// own server, or nowhere.
enum UploadTarget : std::int32_t { TargetBuiltIn = 0, TargetCustom = 1, TargetNone = 2 };

// The FTP page of the preferences: the upload target, the user's own server with Save, a trial
// connection and a look at the server's folders. The target and the random suffix take effect on
// the click; the server's fields when Save or Test stores them. Test and Browse log in on a worker
// (FtpWorker) while the page shows the wait (FtpPageWait); Browse then opens the folder browser
// with that worker.
class cPanelFTP : public Dialog {
public:
    explicit cPanelFTP(const PreferencesModel& model);

    // Ends the wait for a Test or a Browse (Escape); false when none was on.
    bool cancelWait() noexcept;

    // What a failed trial connection tells the user; server as it was tried.
    static std::wstring connectErrorText(const AppException& error, bool custom,
                                         const std::wstring& server);

protected:
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onTimer(UINT_PTR id) override;
    bool onDestroy() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void readControls();
    void showMembers();
    void updateFieldVisibility();
    bool validateAndStore();
    void testConnection();
    void browseRemoteFolders();
    // The selected target's server; none when it has none, or, after telling the user, when its
    // address is not one.
    std::optional<stFtpLogin> targetLogin();
    std::wstring targetFolder() const;
    void startWorker(int button, const stFtpLogin& login);
    void onWorkerReply(std::unique_ptr<FtpWorker::Reply> reply);
    void onWaitTimedOut();
    // What the user is told when the Test or the Browse begun with the button failed.
    std::wstring failureText(int button, const std::exception_ptr& failure,
                             const std::wstring& host) const;
    void openBrowser(FtpWorker worker);
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
    HWND randomNameCheck = nullptr;
    std::wstring serverText;
    std::wstring userText;
    std::wstring passwordText;
    std::wstring pathText;
    std::wstring urlText;
    std::int32_t uploadTarget = TargetBuiltIn;
    bool showingMembers = false;
    FtpPageWait wait;
};
