#include "hotkeys/KeyboardHook.h"

#include "hotkeys/CaptureRequest.h"
#include "platform/ResourceException.h"
#include "platform/StageTimes.h"

#include <bitset>

namespace {

// Trigger keys whose press posted a request and that have not gone up since.
class FiredKeys {
public:
    // Virtual-key codes are below 256; a code past that is never marked.
    bool marked(DWORD key) const noexcept { return key < keys_.size() && keys_[key]; }
    void mark(DWORD key, bool fired) noexcept {
        if (key < keys_.size())
            keys_[key] = fired;
    }

private:
    std::bitset<256> keys_;
};

} // namespace

struct KeyboardHookThread {
    DWORD guiThreadId = 0;
    std::shared_ptr<const cHotKeySettings::Published> table;
    UniqueHandle hooked; // set by the thread once the hook is in place
    UniqueHandle stop;   // set to end the thread
    UniqueHook hook;     // the thread's own
    FiredKeys fired;     // the hook procedure's alone, so it needs no lock
};

namespace {

// The hook procedure gets no data of its own and runs only on the thread that installed it, so each
// hook thread finds its state here.
thread_local KeyboardHookThread* threadHook = nullptr;

DWORD WINAPI runHookThread(void* parameter) {
    const std::unique_ptr<std::shared_ptr<KeyboardHookThread>> owner(
        static_cast<std::shared_ptr<KeyboardHookThread>*>(parameter));
    KeyboardHookThread& state = **owner;
    // The system passes key events by this thread's message queue and skips a hook whose thread
    // has none yet, so the queue comes first.
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    threadHook = &state;
    state.hook.reset(
        ::SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHookProc, ::GetModuleHandleW(nullptr), 0));
    if (!state.hook) {
        threadHook = nullptr;
        return 1;
    }
    ::SetEvent(state.hooked.get());
    // The system calls the hook while this thread takes messages; there are none of its own.
    const HANDLE stop = state.stop.get();
    do {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    } while (::MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0);
    state.hook.reset();
    threadHook = nullptr;
    return 0;
}

bool keyIsDown(int key) noexcept {
    return (::GetAsyncKeyState(key) & 0x8000) != 0;
}

// Posts the request of the first entry the key-down completes; false when it completes none.
bool postRequestFor(const KeyboardHookThread& hook, DWORD key) noexcept {
    const std::shared_ptr<const cHotKeySettings::Entries> table = hook.table->read();
    CaptureMode mode;
    if (matchesKeyDown(table->full, key))
        mode = CaptureFullScreen;
    else if (matchesKeyDown(table->active, key))
        mode = CaptureForegroundWindow;
    else if (matchesKeyDown(table->select, key))
        mode = CaptureRegion;
    else if (matchesKeyDown(table->edit, key))
        mode = CaptureRegionEdit;
    else
        return false;
    ::PostThreadMessageW(hook.guiThreadId, WM_CAPTURE_REQUEST, mode, 0);
    return true;
}

// A held key repeats its key-down without a key-up between; one capture per press is wanted. The
// system calls the hook before it records the key as down, so a marked key that is not down yet is
// a fresh press whose key-up we missed, not a repeat.
void onKeyDown(KeyboardHookThread& hook, DWORD key) noexcept {
    if (hook.fired.marked(key) && keyIsDown(static_cast<int>(key)))
        return;
    hook.fired.mark(key, postRequestFor(hook, key));
}

} // namespace

bool matchesKeyDown(const KeySeq& sequence, DWORD virtualKey) noexcept {
    if (sequence.empty() || static_cast<DWORD>(sequence.back()) != virtualKey)
        return false;
    for (std::size_t i = 0; i + 1 < sequence.size(); ++i)
        if (!keyIsDown(sequence[i]))
            return false;
    return true;
}

// Nothing here can throw: only comparisons, key state queries and one post, so the hook stays
// cheap for the whole desktop's keyboard input.
LRESULT CALLBACK keyboardHookProc(int code, WPARAM kind, LPARAM event) {
    KeyboardHookThread* hook = threadHook;
    if (hook && event) {
        const DWORD key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(event)->vkCode;
        if (kind == WM_KEYDOWN) {
            markStage(Stage::HookCalled);
            onKeyDown(*hook, key);
        } else if (kind == WM_KEYUP || kind == WM_SYSKEYUP) {
            hook->fired.mark(key, false);
        }
    }
    return ::CallNextHookEx(hook ? hook->hook.get() : nullptr, code, kind, event);
}

void KeyboardHook::install(DWORD guiThreadId, const cHotKeySettings& table) {
    remove();
    auto state = std::make_shared<KeyboardHookThread>();
    state->guiThreadId = guiThreadId;
    state->table = table.published();
    state->hooked.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    state->stop.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!state->hooked || !state->stop)
        throw ResourceException();
    // The thread owns a share of its state, so a thread that outlives this object stays valid.
    auto parameter = std::make_unique<std::shared_ptr<KeyboardHookThread>>(state);
    UniqueHandle thread(::CreateThread(nullptr, 0, runHookThread, parameter.get(), 0, nullptr));
    if (!thread)
        throw ResourceException();
    parameter.release();
    const HANDLE started[] = {state->hooked.get(), thread.get()};
    if (::WaitForMultipleObjects(2, started, FALSE, kThreadWaitMs) != WAIT_OBJECT_0) {
        // Refused, or not in place in time: a thread still starting ends as soon as it sees this.
        ::SetEvent(state->stop.get());
        throw ResourceException();
    }
    state_ = std::move(state);
    thread_ = std::move(thread);
}

void KeyboardHook::remove() noexcept {
    if (!thread_)
        return;
    ::SetEvent(state_->stop.get());
    // Past the bound the thread is let go; it holds its own state and never touches this object.
    ::WaitForSingleObject(thread_.get(), kThreadWaitMs);
    thread_.reset();
    state_.reset();
}
