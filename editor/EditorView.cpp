#include "editor/EditorView.h"

#include <algorithm>

namespace {
constexpr int kZoomSteps[] = {25, 33, 50, 67, 100, 150, 200, 300, 400, 600, 800};
}

void EditorView::zoomStep(bool in) {
    if (in) {
        for (int z : kZoomSteps)
            if (z > zoom_) {
                zoom_ = z;
                return;
            }
    } else {
        for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
            if (*it < zoom_) {
                zoom_ = *it;
                return;
            }
    }
}

void EditorView::clampScroll(int clientWidth, int clientHeight) {
    scrollX_ = std::clamp(scrollX_, 0, std::max(0, shownWidth() - clientWidth));
    scrollY_ =
        std::clamp(scrollY_, 0, std::max(0, shownHeight() - (clientHeight - kToolbarHeight)));
}

stEditPoint EditorView::toImage(int x, int y) const {
    // Floor division, so the pixels left of and above the image map outside it too.
    auto unscale = [this](long long v) {
        return static_cast<int>(v >= 0 ? v * 100 / zoom_ : -((-v * 100 + zoom_ - 1) / zoom_));
    };
    return {kept_.left + unscale(x + scrollX_), kept_.top + unscale(y - kToolbarHeight + scrollY_)};
}
