#include "hotkeys/KeyboardHook.h"

#include "app/CaptureRequest.h"
#include "platform/ResourceException.h"

namespace {

// The installed hook; read by the hook procedure, which runs on the installing thread only.
KeyboardHook* installedHook = nullptr;

} // namespace

bool matchesKeyDown(const KeySeq& sequence, DWORD virtualKey) noexcept {
    if (sequence.empty() || static_cast<DWORD>(sequence.back()) != virtualKey)
        return false;
    for (std::size_t i = 0; i + 1 < sequence.size(); ++i)
        if ((::GetAsyncKeyState(sequence[i]) & 0x8000) == 0)
            return false;
    return true;
}

// Nothing here can throw: only comparisons, key state queries and one post, so the hook stays
// cheap for the whole desktop's keyboard input.
LRESULT CALLBACK keyboardHookProc(int code, WPARAM kind, LPARAM event) {
    const KeyboardHook* hook = installedHook;
    if (hook && kind == WM_KEYDOWN && event) {
        const DWORD key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(event)->vkCode;
        const cHotKeySettings& table = *hook->table_;
        if (matchesKeyDown(table.full, key))
            ::PostThreadMessageW(hook->guiThreadId_, WM_CAPTURE_REQUEST, CaptureFullScreen, 0);
        else if (matchesKeyDown(table.active, key))
            ::PostThreadMessageW(hook->guiThreadId_, WM_CAPTURE_REQUEST, CaptureForegroundWindow,
                                 0);
        else if (matchesKeyDown(table.select, key))
            ::PostThreadMessageW(hook->guiThreadId_, WM_CAPTURE_REQUEST, CaptureRegion, 0);
    }
    return ::CallNextHookEx(hook ? hook->hook_.get() : nullptr, code, kind, event);
}

void KeyboardHook::install(DWORD guiThreadId, const cHotKeySettings& table) {
    remove();
    if (installedHook)
        throw ResourceException();
    guiThreadId_ = guiThreadId;
    table_ = &table;
    // The procedure may run as soon as the thread takes messages, which it cannot do before
    // SetWindowsHookExW returns; the pointer is set only once the handle is kept.
    HHOOK handle =
        ::SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHookProc, ::GetModuleHandleW(nullptr), 0);
    if (!handle)
        throw ResourceException();
    hook_.reset(handle);
    installedHook = this;
}

void KeyboardHook::remove() noexcept {
    if (!hook_)
        return;
    if (installedHook == this)
        installedHook = nullptr;
    hook_.reset();
}
