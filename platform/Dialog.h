#pragma once

#include "platform/AppException.h"
#include "platform/MessageHandlers.h"
#include "platform/ModalLoop.h"

#include <windows.h>

// Base of our dialogs. The object travels in the creation parameter and is kept in DWLP_USER from
// WM_INITDIALOG on; messages before that (WM_SETFONT) get the default handling. A modal dialog
// runs in our own message loop, not the system's, so window-less thread messages such as capture
// requests are still handled while it is open. A dialog can also be a page: a child of another
// dialog, made from its own template. No exception leaves the dialog procedure.
class Dialog : public MessageHandlers {
public:
    // From a template in the program's resources, or from one in memory.
    explicit Dialog(UINT templateId) noexcept : templateId_(templateId) {}
    explicit Dialog(const DLGTEMPLATE* inMemory) noexcept : inMemory_(inMemory) {}
    ~Dialog() override;

    // Shows the dialog with the owner disabled and returns the result given to endDialog, or -1
    // when it could not be created or the application is quitting.
    INT_PTR runModal(HWND owner);
    void endDialog(INT_PTR result) noexcept { modalLoop_.end(result); }

    // Creates the dialog as a hidden child page of parent; false when it could not be created.
    // The parent's keyboard navigation goes on into the page's controls.
    bool createChild(HWND parent);

    HWND hwnd() const noexcept { return hwnd_; }
    HWND item(int id) const noexcept { return ::GetDlgItem(hwnd_, id); }

protected:
    // The controls exist; return true to let the system set the focus.
    virtual bool onInitDialog() { return true; }
    // The default ends a modal dialog on OK and Cancel (Enter, Escape, the close box).
    bool onCommand(int id, int code, HWND control) override;
    // Called when one of our exceptions escapes a handler; the default shows it in a message box.
    virtual void onUnhandledException(const AppException& error) noexcept;

private:
    HWND create(HWND parent);
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_ = 0;
    const DLGTEMPLATE* inMemory_ = nullptr;
    HWND hwnd_ = nullptr;
    ModalLoop modalLoop_;
};
