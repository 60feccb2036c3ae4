#include "output/AddressHandoff.h"

#include "platform/OpenedClipboard.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstring>

namespace AddressHandoff {

namespace {

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

} // namespace

void openInBrowser(const std::wstring& address) {
    ComApartment apartment;
    ::ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool copyToClipboard(const std::wstring& address) {
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

    ClipboardOwner owner;
    OpenedClipboard clipboard(owner.get());
    if (!clipboard.isOpen() || !::EmptyClipboard() || !::SetClipboardData(CF_UNICODETEXT, memory)) {
        ::GlobalFree(memory);
        return false;
    }
    // The clipboard owns the memory now.
    return true;
}

} // namespace AddressHandoff
