#include "platform/Dialog.h"

#include "platform/CallbackGuard.h"
#include "platform/MessagePump.h"

namespace {

// The messages whose answer a dialog procedure returns itself.
bool answersDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

} // namespace

Dialog::~Dialog() {
    if (hwnd_)
        ::DestroyWindow(hwnd_);
}

INT_PTR Dialog::runModal(HWND owner) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    HWND created = inMemory_ ? ::CreateDialogIndirectParamW(instance, inMemory_, owner,
                                                            &Dialog::dialogProc, self)
                             : ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId_), owner,
                                                    &Dialog::dialogProc, self);
    if (!created)
        return -1;

    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);
    ::ShowWindow(created, SW_SHOW);

    // Destroying the dialog ends the loop too (WM_NCDESTROY).
    modalActive_ = true;
    modalResult_ = -1;
    if (!MessagePump::runWhile(modalActive_, hwnd_))
        modalResult_ = -1;
    modalActive_ = false;

    // The owner comes back before the dialog goes, so the focus returns to it.
    if (ownerWasEnabled)
        ::EnableWindow(owner, TRUE);
    if (hwnd_)
        ::DestroyWindow(hwnd_);
    return modalResult_;
}

void Dialog::endDialog(INT_PTR result) noexcept {
    modalResult_ = result;
    modalActive_ = false;
    // Wake the loop so it sees the change.
    if (hwnd_)
        ::PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void Dialog::onCommand(int id, int, HWND) {
    if (id == IDOK || id == IDCANCEL)
        endDialog(id);
}

bool Dialog::onMessage(UINT, WPARAM, LPARAM, INT_PTR&) {
    return false;
}

void Dialog::onUnhandledException(const AppException& error) noexcept {
    ::MessageBoxW(hwnd_, error.shownMessage().c_str(), L"Pixlance", MB_OK | MB_ICONERROR);
}

INT_PTR CALLBACK Dialog::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self && message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return FALSE;
    const INT_PTR result = self->dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        self->modalActive_ = false;
    }
    return result;
}

INT_PTR Dialog::dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return callGuarded<INT_PTR>([&] { return handle(message, wParam, lParam); },
                                [this](const AppException& error) { onUnhandledException(error); },
                                FALSE);
}

INT_PTR Dialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    default: {
        INT_PTR result = FALSE;
        if (!onMessage(message, wParam, lParam, result))
            return FALSE;
        if (answersDirectly(message))
            return result;
        // Everything else answers through DWLP_MSGRESULT.
        ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    }
}
