#pragma once

#include "platform/MessageWindow.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

// Hands an uploaded image's public address to the user, on the GUI thread: the browser opens it
// and the clipboard takes it. Another program may hold the clipboard (a clipboard manager reading
// the last copy); the copy is then tried again on a timer, never by waiting, until the retry time
// is over. Copies are made in the order asked, so the last address asked for ends on top.
class AddressDelivery : private MessageWindow {
public:
    // Told whether the address reached the clipboard.
    using CopyDone = std::function<void(bool copied)>;

    static constexpr UINT kRetryEveryMs = 50;

    AddressDelivery() = default;
    ~AddressDelivery() override;

    void setRetryTime(DWORD retryMs) noexcept { retryMs_ = retryMs; }
    // Opens the address with the shell's default action for it.
    static void openInBrowser(const std::wstring& address) noexcept;
    // Copies the address as Unicode text; done is called once, when it is on the clipboard or the
    // retry time is over: at once when the clipboard is free.
    void copy(const std::wstring& address, CopyDone done);
    // Copies waiting for the clipboard.
    std::size_t waitingCount() const noexcept { return waiting_.size(); }

private:
    struct Waiting {
        std::wstring address;
        ULONGLONG giveUpAt;
        CopyDone done;
    };

    bool onTimer(UINT_PTR id) override;
    // Copies what waits, in order, until the clipboard is refused; tells those whose time is over.
    void copyWaiting();
    bool placeOnClipboard(const std::wstring& address) noexcept;

    DWORD retryMs_ = 5000;
    std::deque<Waiting> waiting_;
};
