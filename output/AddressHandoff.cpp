#include "output/AddressHandoff.h"

#include "platform/OpenedClipboard.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstring>
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
    return true;
}

bool carryOut(const Request& request, HWND owner) {
    if (request.openBrowser)
        openInBrowser(request.address);
    return request.copy && copyToClipboard(request.address, owner);
}

} // namespace

UINT requestMessage() {
    return ::RegisterWindowMessageW(L"Pixlance-AddressHandoff-5E0C1B7A");
}

bool handOff(const Request& request, const Target& target) {
    if (!request.openBrowser && !request.copy)
        return false;
    if (!target.window)
        return carryOut(request, nullptr);
    // The request stays on this stack while the send waits; the window copies it before any slow
    // step, since it may still be running when the wait has ended.
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(target.window, requestMessage(), 0,
                               reinterpret_cast<LPARAM>(&request), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               target.waitMs, &result))
        return false;
    return result == kCopied;
}

LRESULT answer(LPARAM lParam, HWND window) noexcept {
    if (!lParam)
        return 0;
    try {
        const Request request = *reinterpret_cast<const Request*>(lParam);
        return carryOut(request, window) ? kCopied : 0;
    } catch (const std::bad_alloc&) {
        // The sender reports the address as not copied.
        return 0;
    }
}

} // namespace AddressHandoff
