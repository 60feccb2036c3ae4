#pragma once

#include "platform/Window.h"
#include "ui/ITrayCommands.h"

#include <windows.h>
#include <shellapi.h>

#include <mutex>

// The notification-area icon and the hidden window that owns it. The hidden window is also the
// application's main window and receives the icon menu's commands. It also takes the upload
// workers' addresses (AddressHandoff), to open and copy them on the thread that owns the clipboard.
class CSystemTray : public Window {
public:
    static constexpr UINT kIconId = 130; // also the resource id of the icon's menu
    static constexpr DWORD kBalloonInfo = NIIF_INFO;
    static constexpr DWORD kBalloonError = NIIF_ERROR;

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

    ITrayCommands& commands_;
    bool iconAdded_ = false;
    NOTIFYICONDATAW iconData_{};
    UINT defaultItem_ = 0;
    bool defaultByPosition_ = true;
    const UINT handoffMessage_;
    // Guards the icon record, shared by the GUI thread and upload workers showing balloons. Never
    // held across Shell_NotifyIconW: during that call the GUI thread handles the icon's callbacks,
    // and a double-click there opens the preferences, whose modal loop shows balloons of its own.
    std::mutex iconDataLock_;
};
