#include "support/ClipboardText.h"

#include "platform/OpenedClipboard.h"

#include <cstring>

namespace ClipboardText {

std::wstring read() {
    std::wstring text;
    OpenedClipboard clipboard(nullptr);
    if (!clipboard.isOpen())
        return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    return text;
}

bool write(const std::wstring& text) {
    OpenedClipboard clipboard(nullptr);
    if (!clipboard.isOpen())
        return false;
    ::EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    std::memcpy(::GlobalLock(memory), text.c_str(), bytes);
    ::GlobalUnlock(memory);
    if (::SetClipboardData(CF_UNICODETEXT, memory))
        return true;
    ::GlobalFree(memory);
    return false;
}

Holder::Holder(DWORD holdMs) : opened_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this, holdMs] {
        OpenedClipboard clipboard(nullptr);
        held_ = clipboard.isOpen();
        ::SetEvent(opened_);
        if (held_)
            ::Sleep(holdMs);
    });
    ::WaitForSingleObject(opened_, 10000);
}

Holder::~Holder() {
    thread_.join();
    ::CloseHandle(opened_);
}

} // namespace ClipboardText
