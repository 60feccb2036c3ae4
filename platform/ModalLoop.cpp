#include "platform/ModalLoop.h"

#include "platform/MessagePump.h"

INT_PTR ModalLoop::run(HWND window, HWND owner, bool navigation) {
    if (!window)
        return -1;
    // A page or control given as owner stands for the dialog it belongs to.
    HWND topOwner = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    const bool ownerWasEnabled = topOwner && ::IsWindowEnabled(topOwner);
    if (ownerWasEnabled)
        ::EnableWindow(topOwner, FALSE);

    window_ = window;
    active_ = true;
    result_ = -1;
    if (!MessagePump::runWhile(active_, navigation ? window : nullptr))
        result_ = -1;
    active_ = false;
    window_ = nullptr;

    // The owner comes back before the window goes, so the focus returns to it.
    if (ownerWasEnabled)
        ::EnableWindow(topOwner, TRUE);
    return result_;
}

void ModalLoop::end(INT_PTR result) noexcept {
    if (!active_)
        return;
    result_ = result;
    active_ = false;
    // Wakes GetMessage when the end comes from outside a message of this thread's loop.
    if (window_)
        ::PostMessageW(window_, WM_NULL, 0, 0);
}

void ModalLoop::windowGone() noexcept {
    if (active_)
        end(-1);
    window_ = nullptr;
}
