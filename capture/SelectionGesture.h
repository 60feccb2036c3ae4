#pragma once

#include "capture/SelectionGeometry.h"
#include "capture/SnapTargets.h"

#include <optional>

// What the user's presses, moves and releases on the frozen screen mean. A press and a release
// within kClickSlop pixels of each other are a click, which takes the window under the press; a
// press followed by a move farther than that is a drag, which takes the rectangle between the
// press and the release.
class SelectionGesture {
public:
    static constexpr int kClickSlop = 3;

    explicit SelectionGesture(const SnapTargets& targets) noexcept : targets_(targets) {}

    void press(SelectionPoint at) noexcept;
    void moveTo(SelectionPoint at) noexcept;
    // Ends the gesture: the rectangle taken, or none (a click on the bare desktop, a drag without
    // width or height, a release whose press went to another window).
    std::optional<SelectionRect> release(SelectionPoint at) noexcept;

    bool pressed() const noexcept { return pressed_; }
    bool dragging() const noexcept { return dragging_; }
    SelectionPoint pointer() const noexcept { return pointer_; }
    // What the window outlines now: the dragged rectangle, or before a drag the window under the
    // pointer (empty over the bare desktop).
    SelectionRect outline() const noexcept;

private:
    const SnapTargets& targets_;
    SelectionPoint anchor_;
    SelectionPoint pointer_;
    bool pressed_ = false;
    bool dragging_ = false;
};
