#pragma once

#include "hotkeys/cHotKeySettings.h"
#include "platform/Handles.h"

#include <windows.h>

// True when the key that just went down completes the sequence: it is the last code, and every
// other code is held down at this moment. Keys held but not listed do not matter.
bool matchesKeyDown(const KeySeq& sequence, DWORD virtualKey) noexcept;

// The low-level keyboard procedure. A key-down (WM_KEYDOWN only) that completes the Full, Active or
// Select entry, tested in that order, posts WM_CAPTURE_REQUEST with mode 0, 1 or 2 to the GUI
// thread, at most once per event. Every event goes on to the next hook unchanged: no key is
// swallowed.
LRESULT CALLBACK keyboardHookProc(int code, WPARAM kind, LPARAM event);

// The process's keyboard hook. A low-level hook procedure gets no data of its own, so the installed
// object is found through one process-wide pointer; at most one is installed at a time.
class KeyboardHook {
public:
    KeyboardHook() = default;
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;
    ~KeyboardHook() { remove(); }

    // Installs the hook for the whole desktop. The procedure runs on the calling thread while that
    // thread takes messages, so call it on the GUI thread; requests are posted to guiThreadId. The
    // table is read at every key-down and must outlive the hook. Raises ResourceException when the
    // system refuses the hook or another KeyboardHook is installed.
    void install(DWORD guiThreadId, const cHotKeySettings& table);
    // Removes the hook; does nothing when none is installed.
    void remove() noexcept;

    bool installed() const noexcept { return static_cast<bool>(hook_); }
    HHOOK handle() const noexcept { return hook_.get(); }

private:
    friend LRESULT CALLBACK keyboardHookProc(int code, WPARAM kind, LPARAM event);

    DWORD guiThreadId_ = 0;
    const cHotKeySettings* table_ = nullptr;
    UniqueHook hook_;
};
