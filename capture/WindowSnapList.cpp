#include "capture/WindowSnapList.h"

#include <dwmapi.h>

#include <vector>

namespace {

// Child windows nested deeper than this are not listed: no one clicks that finely.
constexpr int kMaxDepth = 8;

struct Listing {
    HWND skipped;
    std::vector<HWND> topLevel;
};

BOOL CALLBACK collectTopLevel(HWND window, LPARAM param) {
    auto& listing = *reinterpret_cast<Listing*>(param);
    if (window != listing.skipped)
        listing.topLevel.push_back(window);
    return listing.topLevel.size() < SnapTargets::kMaxTargets;
}

bool cloaked(HWND window) noexcept {
    DWORD value = 0;
    return SUCCEEDED(::DwmGetWindowAttribute(window, DWMWA_CLOAKED, &value, sizeof value)) &&
           value != 0;
}

// What the screen shows of a top-level window: the frame bounds without invisible resize borders.
bool visibleBounds(HWND window, RECT& rect) noexcept {
    return SUCCEEDED(
               ::DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &rect, sizeof rect)) ||
           ::GetWindowRect(window, &rect);
}

SelectionRect inSnapshot(const RECT& onScreen, const RECT& within, const RECT& virtualScreen) {
    RECT shown;
    if (!::IntersectRect(&shown, &onScreen, &within))
        return {};
    return screenRectInSnapshot({shown.left, shown.top, shown.right, shown.bottom},
                                {virtualScreen.left, virtualScreen.top});
}

// The visible children of the window, front first, each followed by its own.
bool addChildren(SnapTargets& targets, HWND parent, const RECT& parentShown, int depth,
                 const RECT& virtualScreen) {
    if (depth > kMaxDepth)
        return true;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        if (!::IsWindowVisible(child) || !::GetWindowRect(child, &rect))
            continue;
        RECT shown;
        if (!::IntersectRect(&shown, &rect, &parentShown))
            continue;
        if (!targets.add(inSnapshot(shown, virtualScreen, virtualScreen), depth) ||
            !addChildren(targets, child, shown, depth + 1, virtualScreen))
            return false;
    }
    return true;
}

} // namespace

SnapTargets listSnapTargets(HWND skipped, const RECT& virtualScreen) {
    Listing listing{skipped, {}};
    ::EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&listing));
    SnapTargets targets;
    for (HWND window : listing.topLevel) {
        RECT rect;
        if (!::IsWindowVisible(window) || ::IsIconic(window) || cloaked(window) ||
            !visibleBounds(window, rect))
            continue;
        RECT shown;
        if (!::IntersectRect(&shown, &rect, &virtualScreen))
            continue;
        if (!targets.add(inSnapshot(shown, virtualScreen, virtualScreen), 0) ||
            !addChildren(targets, window, shown, 1, virtualScreen))
            break;
    }
    return targets;
}
