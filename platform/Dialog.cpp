#include "platform/Dialog.h"

#include "platform/CallbackGuard.h"

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

HWND Dialog::create(HWND parent) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    return inMemory_ ? ::CreateDialogIndirectParamW(instance, inMemory_, parent,
                                                    &Dialog::dialogProc, self)
                     : ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId_), parent,
                                            &Dialog::dialogProc, self);
}

INT_PTR Dialog::runModal(HWND owner) {
    HWND created = create(owner);
    if (!created)
        return -1;
    ::ShowWindow(created, SW_SHOW);
    // Destroying the dialog ends the loop too (WM_NCDESTROY).
    const INT_PTR result = modalLoop_.run(created, owner, true);
    if (hwnd_)
        ::DestroyWindow(hwnd_);
    return result;
}

bool Dialog::createChild(HWND parent) {
    HWND created = create(parent);
    if (!created)
        return false;
    ::SetWindowLongPtrW(created, GWL_EXSTYLE,
                        ::GetWindowLongPtrW(created, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    return true;
}

bool Dialog::onCommand(int id, int, HWND) {
    if (id != IDOK && id != IDCANCEL)
        return false;
    endDialog(id);
    return true;
}

void Dialog::onUnhandledException(const AppException& error) noexcept {
    // Memory may be what ran out: the text goes through a buffer of our own.
    wchar_t text[AppException::kShownLength + 1];
    error.copyShownMessage(text);
    ::MessageBoxW(hwnd_, text, L"Pixlance", MB_OK | MB_ICONERROR);
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
        self->modalLoop_.windowGone();
    }
    return result;
}

INT_PTR Dialog::dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return callGuarded<INT_PTR>([&] { return handle(message, wParam, lParam); },
                                [this](const AppException& error) { onUnhandledException(error); },
                                FALSE);
}

INT_PTR Dialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return onInitDialog() ? TRUE : FALSE;
    LRESULT result = 0;
    if (!crack(message, wParam, lParam, result))
        return FALSE;
    if (answersDirectly(message))
        return result;
    // Everything else answers through DWLP_MSGRESULT.
    ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}
