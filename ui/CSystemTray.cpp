#include "ui/CSystemTray.h"

#include "output/upload/AddressHandoff.h"
#include "platform/Handles.h"
#include "res/resource.h"
#include "ui/BalloonText.h"

namespace {

constexpr UINT kBalloonTimeoutMs = 2000;

UniqueMenu loadTrayMenu() {
    return UniqueMenu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
}

} // namespace

CSystemTray::CSystemTray(ITrayCommands& commands)
    : commands_(commands), handoffMessage_(AddressHandoff::requestMessage()) {}

CSystemTray::~CSystemTray() {
    removeIcon();
    destroy();
}

bool CSystemTray::addTrayIcon(UINT callbackMessage, HICON icon) {
    if (LOBYTE(LOWORD(::GetVersion())) < 4) {
        iconAdded_ = false;
        return false;
    }
    std::wstring cls = registerClass(0, nullptr, nullptr, nullptr);
    create(0, cls, L"", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0);

    NOTIFYICONDATAW request;
    {
        std::lock_guard<std::mutex> guard(iconDataLock_);
        iconData_.cbSize = sizeof(NOTIFYICONDATAW);
        iconData_.hWnd = hwnd();
        iconData_.uID = kIconId;
        iconData_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        iconData_.uCallbackMessage = callbackMessage;
        iconData_.hIcon = icon;
        copyBalloonField(iconData_.szTip, ARRAYSIZE(iconData_.szTip), L"Morvex");
        request = iconData_;
    }
    const bool added = ::Shell_NotifyIconW(NIM_ADD, &request) != FALSE;
    std::lock_guard<std::mutex> guard(iconDataLock_);
    iconAdded_ = added;
    return added;
}

bool CSystemTray::displayBalloon(DWORD kind, const wchar_t* title, const wchar_t* text) {
    // Each balloon fills its own copy of the record, so the shell is called without the lock.
    NOTIFYICONDATAW request;
    {
        std::lock_guard<std::mutex> guard(iconDataLock_);
        request = iconData_;
    }
    request.cbSize = sizeof(NOTIFYICONDATAW);
    request.uFlags = NIF_INFO;
    request.uTimeout = kBalloonTimeoutMs;
    request.dwInfoFlags = kind;
    copyBalloonField(request.szInfo, ARRAYSIZE(request.szInfo), text);
    copyBalloonField(request.szInfoTitle, ARRAYSIZE(request.szInfoTitle), title);
    return ::Shell_NotifyIconW(NIM_MODIFY, &request) != FALSE;
}

void CSystemTray::removeIcon() noexcept {
    NOTIFYICONDATAW request;
    {
        std::lock_guard<std::mutex> guard(iconDataLock_);
        if (!iconAdded_)
            return;
        iconAdded_ = false;
        iconData_.uFlags = 0;
        request = iconData_;
    }
    ::Shell_NotifyIconW(NIM_DELETE, &request);
}

LRESULT CSystemTray::onIconEvent(UINT, UINT mouseMessage) {
    switch (mouseMessage) {
    case WM_RBUTTONUP: {
        UniqueMenu menu = loadTrayMenu();
        HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
        if (!popup)
            return 0;
        ::SetMenuDefaultItem(popup, defaultItem_, defaultByPosition_);
        POINT pointer{};
        ::GetCursorPos(&pointer);
        ::SetForegroundWindow(hwnd());
        ::TrackPopupMenu(popup, 0, pointer.x, pointer.y, 0, hwnd(), nullptr);
        // Lets the menu close properly when the user clicks elsewhere.
        ::PostMessageW(hwnd(), WM_NULL, 0, 0);
        return 1;
    }
    case WM_LBUTTONDBLCLK: {
        ::SetForegroundWindow(hwnd());
        UINT command = defaultItem_;
        if (defaultByPosition_) {
            UniqueMenu menu = loadTrayMenu();
            HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
            if (!popup)
                return 0;
            command = ::GetMenuItemID(popup, static_cast<int>(defaultItem_));
        }
        ::SendMessageW(hwnd(), WM_COMMAND, command, 0);
        return 1;
    }
    default:
        return 1;
    }
}

bool CSystemTray::onCommand(int id, int, HWND) {
    switch (id) {
    case ID_EXIT:
        if (!commands_.isPreferencesOpen())
            ::PostQuitMessage(0);
        return true;
    case ID_PREFERENCES:
        commands_.showPreferences();
        return true;
    default:
        return false;
    }
}

bool CSystemTray::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != 0 && message == handoffMessage_) {
        result = AddressHandoff::answer(lParam, hwnd());
        return true;
    }
    // The icon's callback: the icon's id and the mouse message that happened over it.
    if (message == 0 || message != iconData_.uCallbackMessage)
        return false;
    result = onIconEvent(static_cast<UINT>(wParam), static_cast<UINT>(LOWORD(lParam)));
    return true;
}
