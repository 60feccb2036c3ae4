#include "output/GdiplusSession.h"

#include <windows.h>
#include <gdiplus.h>

namespace {

struct SharedState {
    SharedState() { ::InitializeCriticalSection(&lock); }
    ~SharedState() { ::DeleteCriticalSection(&lock); }
    SharedState(const SharedState&) = delete;
    SharedState& operator=(const SharedState&) = delete;

    CRITICAL_SECTION lock;
    int liveObjects = 0;
    bool running = false;
    ULONG_PTR token = 0;
};

SharedState& shared() {
    static SharedState state;
    return state;
}

class Locked {
public:
    explicit Locked(SharedState& state) : state_(state) { ::EnterCriticalSection(&state_.lock); }
    ~Locked() { ::LeaveCriticalSection(&state_.lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    SharedState& state_;
};

} // namespace

GdiplusSession::GdiplusSession() {
    SharedState& state = shared();
    Locked locked(state);
    ++state.liveObjects;
}

GdiplusSession::~GdiplusSession() {
    SharedState& state = shared();
    Locked locked(state);
    if (--state.liveObjects == 0 && state.running) {
        Gdiplus::GdiplusShutdown(state.token);
        state.running = false;
        state.token = 0;
    }
}

bool GdiplusSession::start() {
    SharedState& state = shared();
    Locked locked(state);
    if (state.running)
        return true;
    Gdiplus::GdiplusStartupInput input; // version 1, every other option off
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return false;
    state.token = token;
    state.running = true;
    return true;
}

bool GdiplusSession::isRunning() {
    SharedState& state = shared();
    Locked locked(state);
    return state.running;
}

int GdiplusSession::liveObjects() {
    SharedState& state = shared();
    Locked locked(state);
    return state.liveObjects;
}
