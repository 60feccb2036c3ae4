#pragma once

#include <windows.h>

#include <string>
#include <thread>

// The clipboard's Unicode text, for tests that check what a program copied.
namespace ClipboardText {

// The text on the clipboard; empty when there is none.
std::wstring read();
// Replaces the clipboard's contents by the text; false when the clipboard could not be had.
bool write(const std::wstring& text);

// Holds the clipboard open on a thread of its own, as another program that reads it does, from
// construction for holdMs; once the object is constructed, the clipboard is held.
class Holder {
public:
    explicit Holder(DWORD holdMs);
    ~Holder();
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    // Whether the clipboard could be had at all.
    bool held() const noexcept { return held_; }

private:
    HANDLE opened_;
    bool held_ = false;
    std::thread thread_;
};

} // namespace ClipboardText
