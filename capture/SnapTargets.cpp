#include "capture/SnapTargets.h"

bool SnapTargets::add(const SelectionRect& rect, int depth) {
    if (targets_.size() >= kMaxTargets)
        return false;
    if (!rect.empty() && depth >= 0)
        targets_.push_back({rect, depth});
    return true;
}

SelectionRect SnapTargets::innermostAt(SelectionPoint point) const noexcept {
    SelectionRect found;
    int wantedDepth = 0;
    for (const Target& target : targets_) {
        if (target.depth < wantedDepth)
            break; // past the subtree of the window found so far
        if (target.depth == wantedDepth && target.rect.contains(point)) {
            found = target.rect;
            ++wantedDepth;
        }
    }
    return found;
}
