#include "platform/YesNoQuestion.h"

#include "platform/Handles.h"

namespace {

// The box is created on this thread while the hook is set: its activation is the moment its
// buttons exist and it is not yet shown.
LRESULT CALLBACK nameButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        ::SetDlgItemTextW(box, IDYES, L"是");
        ::SetDlgItemTextW(box, IDNO, L"否");
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

bool askYesNo(HWND owner, const wchar_t* text, const wchar_t* caption) noexcept {
    UniqueHook hook(::SetWindowsHookExW(WH_CBT, nameButtons, nullptr, ::GetCurrentThreadId()));
    return ::MessageBoxW(owner, text, caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) == IDYES;
}
