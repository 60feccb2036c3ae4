#include "output/upload/AddressDelivery.h"

#include "platform/StageTimes.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstring>

namespace {

constexpr UINT_PTR kRetryTimer = 1;

// The shell may start the handler through COM, which needs an apartment on this thread.
class ComApartment {
public:
    ComApartment()
        : initialized_(SUCCEEDED(
              ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (initialized_)
            ::CoUninitialize();
    }

private:
    bool initialized_;
};

} // namespace

AddressDelivery::~AddressDelivery() {
    // What still waits is not copied; its owners hear no more of it, as they go too.
    ::KillTimer(hwnd(), kRetryTimer);
}

void AddressDelivery::openInBrowser(const std::wstring& address) noexcept {
    ComApartment apartment;
    ::ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void AddressDelivery::copy(const std::wstring& address, CopyDone done) {
    waiting_.push_back({address, ::GetTickCount64() + retryMs_, std::move(done)});
    copyWaiting();
}

bool AddressDelivery::onTimer(UINT_PTR id) {
    if (id != kRetryTimer)
        return false;
    copyWaiting();
    return true;
}

void AddressDelivery::copyWaiting() {
    while (!waiting_.empty()) {
        Waiting& first = waiting_.front();
        const bool copied = placeOnClipboard(first.address);
        if (!copied && ::GetTickCount64() < first.giveUpAt)
            break;
        Waiting done = std::move(first);
        waiting_.pop_front();
        if (done.done)
            done.done(copied);
    }
    if (waiting_.empty())
        ::KillTimer(hwnd(), kRetryTimer);
    else
        ::SetTimer(hwnd(), kRetryTimer, kRetryEveryMs, nullptr);
}

bool AddressDelivery::placeOnClipboard(const std::wstring& address) noexcept {
    const std::size_t bytes = (address.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    void* target = ::GlobalLock(memory);
    if (!target) {
        ::GlobalFree(memory);
        return false;
    }
    std::memcpy(target, address.c_str(), bytes);
    ::GlobalUnlock(memory);
    // One try: a clipboard held by another program is tried again on the timer.
    if (!::OpenClipboard(hwnd())) {
        ::GlobalFree(memory);
        return false;
    }
    const bool placed = ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
    if (!placed) {
        ::GlobalFree(memory);
        return false;
    }
    // The clipboard owns the memory now.
    markStage(Stage::AddressCopied);
    return true;
}
