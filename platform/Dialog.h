#pragma once

#include "platform/AppException.h"

#include <windows.h>

// Base of our dialogs. The object travels in the creation parameter and is kept in DWLP_USER from
// WM_INITDIALOG on; messages before that (WM_SETFONT) get the default handling. A modal dialog
// runs in our own message loop, not the system's, so window-less thread messages such as capture
// requests are still handled while it is open. No exception leaves the dialog procedure.
class Dialog {
public:
    // From a template in the program's resources, or from one in memory.
    explicit Dialog(UINT templateId) noexcept : templateId_(templateId) {}
    explicit Dialog(const DLGTEMPLATE* inMemory) noexcept : inMemory_(inMemory) {}
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    // Shows the dialog with the owner disabled and returns the result given to endDialog, or -1
    // when it could not be created or the application is quitting.
    INT_PTR runModal(HWND owner);
    void endDialog(INT_PTR result) noexcept;

    HWND hwnd() const noexcept { return hwnd_; }
    HWND item(int id) const noexcept { return ::GetDlgItem(hwnd_, id); }

protected:
    // The controls exist; return true to let the system set the focus.
    virtual bool onInitDialog() { return true; }
    // A command from a control or a key; the default ends the dialog on OK and Cancel (Escape).
    virtual void onCommand(int id, int code, HWND control);
    // Any other message; return true when handled, setting result for the procedure's answer.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // Called when one of our exceptions escapes a handler; the default shows it in a message box.
    virtual void onUnhandledException(const AppException& error) noexcept;

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_ = 0;
    const DLGTEMPLATE* inMemory_ = nullptr;
    HWND hwnd_ = nullptr;
    bool modalActive_ = false;
    INT_PTR modalResult_ = -1;
};
