#pragma once

#include "platform/Handles.h"
#include "platform/Window.h"
#include "ui/ITrayCommands.h"

#include <windows.h>
#include <shellapi.h>

#include <mutex>
#include <vector>

// The notification-area icon and the hidden window that owns it. The hidden window is also the
// application's main window: it receives the icon menu's commands and the system's news that the
// session ends.
class CSystemTray : public Window {
public:
    static constexpr UINT kIconId = 130; // also the resource id of the icon's menu
    static constexpr DWORD kBalloonInfo = NIIF_INFO;
    static constexpr DWORD kBalloonError = NIIF_ERROR;
    // How many recent uploads the menu offers.
    static constexpr std::size_t kRecentShown = 10;

    explicit CSystemTray(ITrayCommands& commands);
    ~CSystemTray() override;

    // Creates the hidden window and adds the icon; false when the shell refused it.
    bool addTrayIcon(UINT callbackMessage, HICON icon);
    // Shows a balloon; kind is NIIF_INFO or NIIF_ERROR. Safe to call from any thread: each call
    // shows its own title, text and kind. Texts too long for the shell are cut.
    bool displayBalloon(DWORD kind, const wchar_t* title, const wchar_t* text);
    // The icon's mouse events: the menu on a right click, the default command on a double-click.
    virtual LRESULT onIconEvent(UINT iconId, UINT mouseMessage);

    bool iconAdded() const noexcept { return iconAdded_; }

protected:
    bool onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void removeIcon() noexcept;
    // The menu as it is to be shown now: the resource's, with the recent uploads and the count of
    // unsent captures. Null when the resource can't be loaded.
    UniqueMenu loadMenu();

    ITrayCommands& commands_;
    bool iconAdded_ = false;
    NOTIFYICONDATAW iconData_{};
    UINT defaultItem_ = 0;
    bool defaultByPosition_ = true;
    // The recent uploads of the menu shown last, which its commands copy.
    std::vector<stRecentUpload> shownRecent_;
    // Guards the icon record, shared by the GUI thread and upload workers showing balloons. Never
    // held across Shell_NotifyIconW: during that call the GUI thread handles the icon's callbacks,
    // and a double-click there opens the preferences, whose modal loop shows balloons of its own.
    std::mutex iconDataLock_;
};
