#pragma once

#include "hotkeys/cHotKeySettings.h"
#include "platform/Handles.h"

#include <windows.h>

#include <memory>

// True when the key that just went down completes the sequence: it is the last code, and every
// other code is held down at this moment. Keys held but not listed do not matter.
bool matchesKeyDown(const KeySeq& sequence, DWORD virtualKey) noexcept;

// The low-level keyboard procedure. A key-down (WM_KEYDOWN only) that completes the Full, Active,
// Select or Edit entry of the published table, tested in that order, posts WM_CAPTURE_REQUEST with
// mode 0, 1, 2 or 3 to the GUI thread, at most once per event. A combination held down posts once: the
// auto-repeat of its last key posts nothing until that key goes up. Every event goes on to the next
// hook unchanged: no key is swallowed.
LRESULT CALLBACK keyboardHookProc(int code, WPARAM kind, LPARAM event);

// What the hook's thread holds; shared with the KeyboardHook that started it.
struct KeyboardHookThread;

// The process's keyboard hook, on a thread of its own. Every key press of the whole desktop waits
// for the hook procedure, and the system drops a hook that keeps it waiting too long, so the
// procedure runs on a thread that does nothing but take messages, match and post: it never waits
// for the GUI thread, whatever that thread is busy with.
class KeyboardHook {
public:
    // How long install waits for the thread to put the hook in place, and remove for it to end.
    static constexpr DWORD kThreadWaitMs = 2000;

    KeyboardHook() = default;
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;
    ~KeyboardHook() { remove(); }

    // Starts the hook's thread, which installs the hook for the whole desktop; requests are posted
    // to guiThreadId. The table's published entries are read at every key-down (the table itself
    // need not outlive the hook). Replaces a hook this object had. Raises ResourceException when
    // the thread cannot start or the system refuses the hook.
    void install(DWORD guiThreadId, const cHotKeySettings& table);
    // Removes the hook and ends its thread, waiting for it at most kThreadWaitMs; does nothing when
    // none is installed.
    void remove() noexcept;

    bool installed() const noexcept { return static_cast<bool>(thread_); }

private:
    std::shared_ptr<KeyboardHookThread> state_;
    UniqueHandle thread_;
};
