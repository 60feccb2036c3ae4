#include "capture/cFullScreenWnd.h"

#include "capture/OverlayLayout.h"
#include "capture/WindowSnapList.h"
#include "platform/Handles.h"
#include "platform/StageTimes.h"

#include <vector>

namespace {

// Posted after the first paint: the windows are listed then, never before the screen shows.
constexpr UINT kListWindows = WM_APP + 1;
// An update region of more parts than this is painted as its bounding box.
constexpr DWORD kMaxUpdateParts = 64;

bool sameScene(const OverlayPainter::Scene& a, const OverlayPainter::Scene& b) {
    return a.outline == b.outline && a.label == b.label && a.magnifier == b.magnifier &&
           a.pointer.x == b.pointer.x && a.pointer.y == b.pointer.y && a.labelText == b.labelText;
}

SelectionPoint pointOf(POINT at) noexcept {
    return {at.x, at.y};
}

// The rectangles of the window's update region, in client pixels.
std::vector<SelectionRect> updateParts(HWND window) {
    std::vector<SelectionRect> parts;
    UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    if (!region || ::GetUpdateRgn(window, region.get(), FALSE) <= NULLREGION)
        return parts;
    const DWORD bytes = ::GetRegionData(region.get(), 0, nullptr);
    std::vector<unsigned char> data(bytes);
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    if (bytes < sizeof(RGNDATAHEADER) || ::GetRegionData(region.get(), bytes, header) != bytes)
        return parts;
    const RECT* rects = reinterpret_cast<const RECT*>(header->Buffer);
    if (header->rdh.nCount > kMaxUpdateParts) {
        const RECT& box = header->rdh.rcBound;
        parts.push_back({box.left, box.top, box.right, box.bottom});
        return parts;
    }
    for (DWORD i = 0; i < header->rdh.nCount; ++i)
        parts.push_back({rects[i].left, rects[i].top, rects[i].right, rects[i].bottom});
    return parts;
}

} // namespace

cFullScreenWnd::cFullScreenWnd(const cFrame& frozen, SelectionPoint origin, bool magnifierShown)
    : frozen_(frozen), origin_(origin), magnifierShown_(magnifierShown) {}

cFullScreenWnd::~cFullScreenWnd() {
    destroy();
}

std::wstring cFullScreenWnd::windowClass() {
    return registerClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_CROSS), nullptr, nullptr);
}

std::optional<SelectionRect> cFullScreenWnd::runSelection() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    gesture_.moveTo({cursor.x - origin_.x, cursor.y - origin_.y});
    shown_ = sceneNow();

    const RECT rect{origin_.x, origin_.y, origin_.x + frozen_.width, origin_.y + frozen_.height};
    const std::wstring className = windowClass();
    if (frozen_.pixels && !className.empty() &&
        create(WS_EX_TOPMOST, className, nullptr,
               WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU, rect, nullptr, 0)) {
        ::ShowWindow(hwnd(), SW_SHOW);
        ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        runModalLoop();
        if (hwnd())
            ::SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                               SWP_HIDEWINDOW);
    }
    destroy();
    return result_;
}

bool cFullScreenWnd::onPaint() {
    const std::vector<SelectionRect> parts = updateParts(hwnd());
    {
        PaintDC paint(hwnd());
        for (const SelectionRect& part : parts)
            painter_.paint(paint.get(), part, shown_);
    }
    ::GdiFlush();
    if (!painted_) {
        painted_ = true;
        markStage(Stage::OverlayPainted);
        ::PostMessageW(hwnd(), kListWindows, 0, 0);
    }
    return true;
}

bool cFullScreenWnd::onLeftButtonDown(POINT at) {
    // The drag starts where the button went down, however far the pointer has moved since.
    ::SetCapture(hwnd());
    gesture_.press(pointOf(at));
    refresh();
    return false;
}

bool cFullScreenWnd::onMouseMove(POINT at) {
    const long long received = stageClock();
    pointerMoved(pointOf(at));
    if (gesture_.dragging())
        markMoveShown(received);
    return false;
}

bool cFullScreenWnd::onLeftButtonUp(POINT at) {
    end(gesture_.release(pointOf(at)));
    return true;
}

bool cFullScreenWnd::onKeyDown(UINT key, int, UINT flags) {
    const bool repeated = (flags & KF_REPEAT) != 0;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    int dx = 0;
    int dy = 0;
    switch (key) {
    case VK_ESCAPE:
        end(std::nullopt);
        return false;
    case VK_RETURN:
        if (repeated)
            return false;
        if (gesture_.pressed())
            end(gesture_.release(gesture_.pointer()));
        else {
            gesture_.press(gesture_.pointer());
            refresh();
        }
        return false;
    case 'M':
        if (!repeated) {
            magnifierShown_ = !magnifierShown_;
            refresh();
        }
        return false;
    case VK_LEFT:
        dx = -1;
        break;
    case VK_RIGHT:
        dx = 1;
        break;
    case VK_UP:
        dy = -1;
        break;
    case VK_DOWN:
        dy = 1;
        break;
    default:
        return false;
    }
    const SelectionPoint moved =
        OverlayLayout::movedByKey(gesture_.pointer(), dx, dy, shift, screen());
    ::SetCursorPos(origin_.x + moved.x, origin_.y + moved.y);
    pointerMoved(moved);
    return false;
}

bool cFullScreenWnd::onMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_RBUTTONDOWN:
        result = 0;
        return true;
    case WM_RBUTTONUP:
        // On the release, so that the press's partner does not reach the window underneath.
        end(std::nullopt);
        result = 0;
        return true;
    case WM_DISPLAYCHANGE:
        // The frozen frame no longer matches the screen.
        end(std::nullopt);
        return false;
    case kListWindows:
        targets_ = listSnapTargets(hwnd(), RECT{origin_.x, origin_.y, origin_.x + frozen_.width,
                                                origin_.y + frozen_.height});
        refresh();
        result = 0;
        return true;
    default:
        return false;
    }
}

void cFullScreenWnd::onUnhandledException(const AppException&) noexcept {
    // A message box would block the frozen screen; a beep says the step did not take.
    ::MessageBeep(MB_ICONERROR);
}

void cFullScreenWnd::pointerMoved(SelectionPoint at) {
    gesture_.moveTo(at);
    refresh();
}

void cFullScreenWnd::end(std::optional<SelectionRect> result) noexcept {
    markStage(Stage::SelectionEnded);
    if (::GetCapture() == hwnd())
        ::ReleaseCapture();
    result_ = result;
    endModalLoop(1);
}

OverlayPainter::Scene cFullScreenWnd::sceneNow() const {
    using namespace OverlayLayout;
    OverlayPainter::Scene scene;
    scene.outline = gesture_.outline();
    const SelectionPoint pointer = gesture_.pointer();
    if (gesture_.dragging() && !scene.outline.empty()) {
        scene.labelText = sizeText(scene.outline.width(), scene.outline.height());
        const SIZE size = painter_.labelSize(hwnd(), scene.labelText);
        scene.label = sizeLabelBox(scene.outline, size.cx, size.cy, screen());
    }
    if (magnifierShown_ && screen().contains(pointer)) {
        scene.magnifier = magnifierBox(pointer, screen());
        scene.pointer = pointer;
        scene.pointText = pointText(snapshotPixelOnScreen(pointer, origin_));
        const unsigned char* bgr = framePixelAt(frozen_, pointer);
        scene.colourText = bgr ? colourText(bgr[2], bgr[1], bgr[0]) : std::wstring();
    }
    return scene;
}

void cFullScreenWnd::invalidate(const OverlayPainter::Scene& scene) noexcept {
    SelectionRect parts[6];
    const int count = OverlayPainter::sceneParts(scene, parts);
    for (int i = 0; i < count; ++i) {
        const RECT rect{parts[i].left, parts[i].top, parts[i].right, parts[i].bottom};
        ::InvalidateRect(hwnd(), &rect, FALSE);
    }
}

void cFullScreenWnd::refresh() {
    OverlayPainter::Scene scene = sceneNow();
    if (sameScene(scene, shown_))
        return;
    invalidate(shown_);
    shown_ = std::move(scene);
    invalidate(shown_);
    ::UpdateWindow(hwnd());
}
