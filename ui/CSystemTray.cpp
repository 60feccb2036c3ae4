#include "ui/CSystemTray.h"

#include "platform/ResourceString.h"
#include "res/resource.h"
#include "ui/BalloonText.h"

#include <cwchar>

namespace {

constexpr UINT kBalloonTimeoutMs = 2000;

UniqueMenu loadTrayMenu() {
    return UniqueMenu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
}

// A menu caption shows "&" as the next letter's underline unless it is doubled.
std::wstring menuCaption(const std::wstring& text) {
    std::wstring caption;
    for (wchar_t c : text) {
        caption += c;
        if (c == L'&')
            caption += c;
    }
    return caption;
}

// Puts the submenu of recent uploads at the position (greyed when there are none).
void insertRecentUploads(HMENU popup, UINT position, const std::vector<stRecentUpload>& recent) {
    UniqueMenu submenu(::CreatePopupMenu());
    if (!submenu)
        return;
    for (std::size_t i = 0; i < recent.size(); ++i)
        ::AppendMenuW(submenu.get(), MF_STRING, ID_RECENT_FIRST + i,
                      menuCaption(recent[i].caption).c_str());
    const UINT flags = MF_BYPOSITION | MF_POPUP | (recent.empty() ? MF_GRAYED : 0);
    // Once inserted, the submenu goes with the menu.
    if (::InsertMenuW(popup, position, flags, reinterpret_cast<UINT_PTR>(submenu.get()),
                      loadResourceString(IDS_RECENT_UPLOADS).c_str()))
        submenu.release();
}

void insertResendItem(HMENU popup, UINT position, std::size_t unsent) {
    wchar_t caption[128] = {};
    std::swprintf(caption, 128, loadResourceString(IDS_RESEND_UNSENT).c_str(),
                  static_cast<unsigned>(unsent));
    ::InsertMenuW(popup, position, MF_BYPOSITION | MF_STRING | (unsent == 0 ? MF_GRAYED : 0),
                  ID_RESEND_UNSENT, caption);
}

} // namespace

CSystemTray::CSystemTray(ITrayCommands& commands) : commands_(commands) {}

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

UniqueMenu CSystemTray::loadMenu() {
    UniqueMenu menu = loadTrayMenu();
    HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup)
        return UniqueMenu();
    // After the preferences (position 0, the default item), before the separator and Exit.
    shownRecent_ = commands_.recentUploads();
    if (shownRecent_.size() > kRecentShown)
        shownRecent_.resize(kRecentShown);
    insertRecentUploads(popup, 1, shownRecent_);
    insertResendItem(popup, 2, commands_.unsentCount());
    return menu;
}

LRESULT CSystemTray::onIconEvent(UINT, UINT mouseMessage) {
    switch (mouseMessage) {
    case WM_RBUTTONUP: {
        UniqueMenu menu = loadMenu();
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
        if (!commands_.isPreferencesOpen() && !commands_.isEditorOpen())
            ::PostQuitMessage(0);
        return true;
    case ID_PREFERENCES:
        commands_.showPreferences();
        return true;
    case ID_RESEND_UNSENT:
        commands_.resendUnsent();
        return true;
    default:
        break;
    }
    const std::size_t recent = static_cast<std::size_t>(id - ID_RECENT_FIRST);
    if (id < ID_RECENT_FIRST || recent >= shownRecent_.size())
        return false;
    commands_.copyAddress(shownRecent_[recent].address);
    return true;
}

bool CSystemTray::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_QUERYENDSESSION:
        // Nothing here needs the user: the session may end.
        result = TRUE;
        return true;
    case WM_ENDSESSION:
        if (wParam)
            commands_.endSession();
        result = 0;
        return true;
    default:
        break;
    }
    // The icon's callback: the icon's id and the mouse message that happened over it.
    if (message == 0 || message != iconData_.uCallbackMessage)
        return false;
    result = onIconEvent(static_cast<UINT>(wParam), static_cast<UINT>(LOWORD(lParam)));
    return true;
}
