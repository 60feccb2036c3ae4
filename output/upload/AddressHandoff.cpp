#include "output/upload/AddressHandoff.h"

#include "platform/OpenedClipboard.h"
#include "platform/StageTimes.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <optional>

namespace AddressHandoff {

namespace {

// The answer of a window that copied the address.
constexpr LRESULT kCopied = 1;

// The shell may start the handler through COM; each calling thread needs its own apartment.
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

// A clipboard opened without an owner window cannot take data, so a message-only window of this
// thread owns it for the moment of the copy; the text stays when the window goes.
class ClipboardOwner {
public:
    ClipboardOwner()
        : window_(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr)) {}
    ClipboardOwner(const ClipboardOwner&) = delete;
    ClipboardOwner& operator=(const ClipboardOwner&) = delete;
    ~ClipboardOwner() {
        if (window_)
            ::DestroyWindow(window_);
    }
    HWND get() const noexcept { return window_; }

private:
    HWND window_;
};

void openInBrowser(const std::wstring& address) {
    ComApartment apartment;
    ::ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The owner is a window of the calling thread; without one, a window made for the moment.
bool copyToClipboard(const std::wstring& address, HWND owner) {
    const std::size_t bytes = (address.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    if (void* target = ::GlobalLock(memory)) {
        std::memcpy(target, address.c_str(), bytes);
        ::GlobalUnlock(memory);
    } else {
        ::GlobalFree(memory);
        return false;
    }

    std::optional<ClipboardOwner> ownWindow;
    if (!owner)
        owner = ownWindow.emplace().get();
    OpenedClipboard clipboard(owner);
    if (!clipboard.isOpen() || !::EmptyClipboard() || !::SetClipboardData(CF_UNICODETEXT, memory)) {
        ::GlobalFree(memory);
        return false;
    }
    // The clipboard owns the memory now.
    markStage(Stage::AddressCopied);
    return true;
}

bool carryOut(const Request& request, HWND owner) {
    if (request.openBrowser)
        openInBrowser(request.address);
    return request.copy && copyToClipboard(request.address, owner);
}

// One request on its way to the window. The sender and the message each hold it, so the window
// never reads a request whose sender has given up and gone; a sender that gives up first marks it,
// and the window then leaves it alone (the sender has reported the copy as not done).
struct Ticket {
    explicit Ticket(const Request& request) : request(request) {}
    std::mutex lock;
    const Request request;
    bool taken = false;
    bool abandoned = false;
};
using TicketHolder = std::shared_ptr<Ticket>;

} // namespace

UINT requestMessage() {
    return ::RegisterWindowMessageW(L"Pixlance-AddressHandoff-5E0C1B7A");
}

bool handOff(const Request& request, const Target& target) {
    if (!request.openBrowser && !request.copy)
        return false;
    if (!target.window)
        return carryOut(request, nullptr);
    auto ticket = std::make_shared<Ticket>(request);
    // The message's share of the ticket, freed by the window's answer. A timed-out send that the
    // system then drops leaves this one small holder behind.
    auto carried = std::make_unique<TicketHolder>(ticket);
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutW(target.window, requestMessage(), 0,
                              reinterpret_cast<LPARAM>(carried.get()),
                              SMTO_ABORTIFHUNG | SMTO_BLOCK, target.waitMs, &result)) {
        carried.release(); // the answer took it
        return result == kCopied;
    }
    // A send that ran out of time may still be delivered, so the message keeps its share unless
    // the window is gone.
    if (::GetLastError() != ERROR_INVALID_WINDOW_HANDLE)
        carried.release();
    std::lock_guard<std::mutex> guard(ticket->lock);
    if (!ticket->taken)
        ticket->abandoned = true;
    return false;
}

LRESULT answer(LPARAM lParam, HWND window) noexcept {
    if (!lParam)
        return 0;
    const std::unique_ptr<TicketHolder> carried(reinterpret_cast<TicketHolder*>(lParam));
    const TicketHolder ticket = *carried;
    {
        std::lock_guard<std::mutex> guard(ticket->lock);
        if (ticket->abandoned)
            return 0;
        ticket->taken = true;
    }
    try {
        return carryOut(ticket->request, window) ? kCopied : 0;
    } catch (const std::bad_alloc&) {
        // The sender reports the address as not copied.
        return 0;
    }
}

} // namespace AddressHandoff
