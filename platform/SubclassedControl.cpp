#include "platform/SubclassedControl.h"

#include "platform/CallbackGuard.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kSubclassId = 1;

} // namespace

bool SubclassedControl::attach(HWND dialog, int id) {
    detach();
    HWND control = ::GetDlgItem(dialog, id);
    if (!control || !::SetWindowSubclass(control, &SubclassedControl::subclassProc, kSubclassId,
                                         reinterpret_cast<DWORD_PTR>(this)))
        return false;
    hwnd_ = control;
    return true;
}

void SubclassedControl::detach() noexcept {
    if (!hwnd_)
        return;
    ::RemoveWindowSubclass(hwnd_, &SubclassedControl::subclassProc, kSubclassId);
    hwnd_ = nullptr;
}

LRESULT CALLBACK SubclassedControl::subclassProc(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* control = reinterpret_cast<SubclassedControl*>(self);
    if (message == WM_NCDESTROY) {
        control->detach();
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    const bool handled = callGuarded<bool>(
        [&] { return control->crack(message, wParam, lParam, result); },
        // A control has no place to show a failure; the key or click simply did not take.
        [](const AppException&) { ::MessageBeep(MB_ICONERROR); }, true);
    return handled ? result : ::DefSubclassProc(hwnd, message, wParam, lParam);
}
