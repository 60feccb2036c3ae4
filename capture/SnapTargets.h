#pragma once

#include "capture/SelectionGeometry.h"

#include <cstddef>
#include <vector>

// The windows a click on the frozen screen can take, in snapshot pixels: the top-level windows
// from the front to the back, each followed by its descendants (depth 1, 2, ...) in the same
// order, front first, depth first.
class SnapTargets {
public:
    // At most this many rectangles are kept; a desktop with more lists its front-most ones.
    static constexpr std::size_t kMaxTargets = 4096;

    // Appends one window; false once the list is full. A rectangle with nothing in it is skipped.
    bool add(const SelectionRect& rect, int depth);

    // The innermost window under the point: the front-most top-level window that contains it, then
    // within it, level by level, the front-most child that contains it. Empty where none does.
    SelectionRect innermostAt(SelectionPoint point) const noexcept;

private:
    struct Target {
        SelectionRect rect;
        int depth;
    };
    std::vector<Target> targets_;
};
