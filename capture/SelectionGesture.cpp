#include "capture/SelectionGesture.h"

#include <cstdlib>

namespace {

bool farApart(SelectionPoint a, SelectionPoint b) noexcept {
    return std::abs(a.x - b.x) > SelectionGesture::kClickSlop ||
           std::abs(a.y - b.y) > SelectionGesture::kClickSlop;
}

} // namespace

void SelectionGesture::press(SelectionPoint at) noexcept {
    anchor_ = pointer_ = at;
    pressed_ = true;
    dragging_ = false;
}

void SelectionGesture::moveTo(SelectionPoint at) noexcept {
    pointer_ = at;
    if (pressed_ && !dragging_ && farApart(anchor_, at))
        dragging_ = true;
}

std::optional<SelectionRect> SelectionGesture::release(SelectionPoint at) noexcept {
    moveTo(at);
    if (!pressed_)
        return std::nullopt;
    pressed_ = false;
    const SelectionRect taken =
        dragging_ ? normalisedRect(anchor_, at) : targets_.innermostAt(anchor_);
    dragging_ = false;
    if (taken.empty())
        return std::nullopt;
    return taken;
}

SelectionRect SelectionGesture::outline() const noexcept {
    if (dragging_)
        return normalisedRect(anchor_, pointer_);
    return targets_.innermostAt(pressed_ ? anchor_ : pointer_);
}
