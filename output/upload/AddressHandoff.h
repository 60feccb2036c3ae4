#pragma once

#include <windows.h>

#include <string>

// Hands the public address of an upload to the user: the browser, the clipboard. An upload worker
// hands it to a window of the GUI thread, which owns the clipboard and outlives the worker; the
// window answers the request through answer().
namespace AddressHandoff {

// How long a worker waits for the GUI thread to carry out its request.
constexpr DWORD kWaitMs = 5000;

// What to do with one address.
struct Request {
    std::wstring address;
    bool openBrowser = false;
    bool copy = false;
};

// The GUI thread's window that takes requests; none: the worker carries them out itself.
struct Target {
    HWND window = nullptr;
    DWORD waitMs = kWaitMs;
};

// The message that carries a request to the target window.
UINT requestMessage();

// Carries out the request through the target and returns whether the address was copied. A window
// that does not answer within the wait counts as not copied, and nothing else is tried: its thread
// may still carry the request out, and must have the clipboard to itself.
bool handOff(const Request& request, const Target& target);

// For the target window's handler of requestMessage(): carries out the request that lParam carries,
// the clipboard owned by the window; the answer goes back to the sender.
LRESULT answer(LPARAM lParam, HWND window) noexcept;

} // namespace AddressHandoff
