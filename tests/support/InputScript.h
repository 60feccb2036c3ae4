#pragma once

#include "platform/Window.h"

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// Real mouse and key input (SendInput) played from inside whatever loop the calling thread runs,
// modal loops included. Each step runs on a timer tick of this thread; timer messages come only
// when no other message is waiting, so the input sent by one step has been handled by the time
// the next step runs. Buttons and keys still down are released when the script ends or is
// destroyed, whatever happened.
class InputScript : private Window {
public:
    explicit InputScript(DWORD timeoutMs = 15000);
    ~InputScript() override;

    // A step run once.
    InputScript& then(std::function<void()> action);
    // A step that waits (tick by tick) until the condition holds.
    InputScript& waitFor(std::function<bool()> condition, std::string what);

    // Starts ticking; the steps run from the next message loop of this thread.
    void start();
    bool finished() const noexcept { return next_ >= steps_.size() && !failed_; }
    bool failed() const noexcept { return failed_; }
    const std::string& failure() const noexcept { return failure_; }
    // Called when the script times out, after the input is released; ends whatever the script was
    // driving so that the test does not hang.
    std::function<void()> onTimeout;

    // Input. moveTo also checks that the pointer landed on the pixel asked for.
    void moveTo(int x, int y);
    void leftDown();
    void leftUp();
    void rightDown();
    void rightUp();
    void keyDown(WORD key);
    void keyUp(WORD key);
    // A left click at a screen point; keys pressed in order and let go in reverse; text typed as
    // characters, whatever the keyboard layout.
    void click(POINT at);
    void press(std::initializer_list<WORD> keys);
    void type(const std::wstring& text);
    void releaseAll() noexcept;

private:
    struct Step {
        std::function<bool()> run;
        std::string what;
    };
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void tick();
    void stop() noexcept;
    void sendMouse(DWORD flags);

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    DWORD timeoutMs_;
    DWORD startedAt_ = 0;
    bool ticking_ = false;
    bool failed_ = false;
    std::string failure_;
    bool leftDown_ = false;
    bool rightDown_ = false;
    std::vector<WORD> keysDown_;
};

// Absolute SendInput coordinates (0..65535 over the virtual screen) of a screen pixel's centre.
POINT absoluteInputPoint(int x, int y);
