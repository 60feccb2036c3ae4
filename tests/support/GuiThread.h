#pragma once

#include "platform/Handles.h"
#include "platform/Window.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

// A GUI thread of a test's own: makes its window there and takes messages until the object goes.
// It can be held, taking no messages, as a GUI thread busy with other work is.
class GuiThread {
public:
    explicit GuiThread(std::function<std::unique_ptr<Window>()> make)
        : ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          held_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          resume_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), thread_([this, make] {
              std::unique_ptr<Window> window = make();
              window_ = window->hwnd();
              id_ = ::GetCurrentThreadId();
              ::SetEvent(ready_.get());
              const ULONGLONG end = ::GetTickCount64() + kLifeMs;
              while (!stop_ && ::GetTickCount64() < end) {
                  if (holdMs_ != 0) {
                      ::SetEvent(held_.get());
                      ::WaitForSingleObject(resume_.get(), holdMs_.exchange(0));
                  }
                  ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
                  MSG message;
                  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                      ::DispatchMessageW(&message);
              }
          }) {
        ::WaitForSingleObject(ready_.get(), kLifeMs);
    }
    ~GuiThread() {
        stop_ = true;
        resume();
        thread_.join();
    }

    HWND window() const { return window_; }
    DWORD id() const { return id_; }
    // Returns once the thread takes no messages; it takes them again after resume() or maxMs.
    bool hold(DWORD maxMs) {
        holdMs_ = maxMs;
        return ::WaitForSingleObject(held_.get(), 10000) == WAIT_OBJECT_0;
    }
    void resume() { ::SetEvent(resume_.get()); }

private:
    static constexpr DWORD kLifeMs = 120000;

    UniqueHandle ready_, held_, resume_;
    std::atomic<bool> stop_{false};
    std::atomic<DWORD> holdMs_{0};
    HWND window_ = nullptr;
    DWORD id_ = 0;
    std::thread thread_;
};
