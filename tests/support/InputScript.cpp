#include "support/InputScript.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTickMs = 15;

} // namespace

POINT absoluteInputPoint(int x, int y) {
    const long long left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const long long top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const long long width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const long long height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return POINT{static_cast<LONG>(((2 * (x - left) + 1) * 65536) / (2 * width)),
                 static_cast<LONG>(((2 * (y - top) + 1) * 65536) / (2 * height))};
}

InputScript::InputScript(DWORD timeoutMs) : timeoutMs_(timeoutMs) {
    create(0, registerClass(0, nullptr, nullptr, nullptr), L"InputScript", 0, RECT{}, HWND_MESSAGE,
           0);
}

InputScript::~InputScript() {
    stop();
    releaseAll();
    destroy();
}

InputScript& InputScript::then(std::function<void()> action) {
    steps_.push_back({[action]() {
                          action();
                          return true;
                      },
                      "step " + std::to_string(steps_.size() + 1)});
    return *this;
}

InputScript& InputScript::waitFor(std::function<bool()> condition, std::string what) {
    steps_.push_back({std::move(condition), std::move(what)});
    return *this;
}

void InputScript::start() {
    startedAt_ = ::GetTickCount();
    ::SetTimer(hwnd(), kTimerId, kTickMs, nullptr);
}

bool InputScript::onMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
    if (message != WM_TIMER || wParam != kTimerId)
        return false;
    tick();
    return true;
}

void InputScript::tick() {
    // A step that pumps messages itself must not run the next step inside it.
    if (ticking_)
        return;
    ticking_ = true;
    if (next_ < steps_.size()) {
        if (steps_[next_].run()) {
            ++next_;
        } else if (::GetTickCount() - startedAt_ > timeoutMs_) {
            failed_ = true;
            failure_ = "timed out waiting for " + steps_[next_].what;
            ADD_FAILURE() << failure_;
            next_ = steps_.size();
            releaseAll();
            if (onTimeout)
                onTimeout();
        }
    }
    if (next_ >= steps_.size()) {
        stop();
        releaseAll();
    }
    ticking_ = false;
}

void InputScript::stop() noexcept {
    if (hwnd())
        ::KillTimer(hwnd(), kTimerId);
}

void InputScript::moveTo(int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const POINT absolute = absoluteInputPoint(x, y);
    input.mi.dx = absolute.x;
    input.mi.dy = absolute.y;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    EXPECT_EQ(::SendInput(1, &input, sizeof input), 1u);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, x) << "pointer x";
    EXPECT_EQ(cursor.y, y) << "pointer y";
}

void InputScript::sendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    EXPECT_EQ(::SendInput(1, &input, sizeof input), 1u);
}

void InputScript::leftDown() {
    leftDown_ = true;
    sendMouse(MOUSEEVENTF_LEFTDOWN);
}

void InputScript::leftUp() {
    leftDown_ = false;
    sendMouse(MOUSEEVENTF_LEFTUP);
}

void InputScript::rightDown() {
    rightDown_ = true;
    sendMouse(MOUSEEVENTF_RIGHTDOWN);
}

void InputScript::rightUp() {
    rightDown_ = false;
    sendMouse(MOUSEEVENTF_RIGHTUP);
}

void InputScript::keyDown(WORD key) {
    keysDown_.push_back(key);
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    EXPECT_EQ(::SendInput(1, &input, sizeof input), 1u);
}

void InputScript::keyUp(WORD key) {
    keysDown_.erase(std::remove(keysDown_.begin(), keysDown_.end(), key), keysDown_.end());
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    EXPECT_EQ(::SendInput(1, &input, sizeof input), 1u);
}

void InputScript::click(POINT at) {
    moveTo(at.x, at.y);
    leftDown();
    leftUp();
}

void InputScript::press(std::initializer_list<WORD> keys) {
    for (WORD key : keys)
        keyDown(key);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        keyUp(*key);
}

void InputScript::type(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text)
        for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | up;
            inputs.push_back(input);
        }
    EXPECT_EQ(::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
              inputs.size());
}

void InputScript::releaseAll() noexcept {
    INPUT input{};
    input.type = INPUT_MOUSE;
    if (leftDown_) {
        input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        ::SendInput(1, &input, sizeof input);
        leftDown_ = false;
    }
    if (rightDown_) {
        input.mi.dwFlags = MOUSEEVENTF_RIGHTUP;
        ::SendInput(1, &input, sizeof input);
        rightDown_ = false;
    }
    for (WORD key : keysDown_) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = key;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(1, &up, sizeof up);
    }
    keysDown_.clear();
}
