#include "editor/EditorView.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// At every zoom from 25 to 800 %, scrolled and cropped, a pixel's window position leads back to
// that pixel (or, reduced, to one beside it that shares its window pixel), and the window pixels
// just left of and above the image lie outside it.
TEST(EditorView, WindowPointsMapBackToTheirPixelsAtEveryZoom) {
    EditorView view;
    const stEditRect kept{30, 20, 1030, 820};
    view.setImage(kept);
    for (int step = 0; step < 5; ++step)
        view.zoomStep(false);
    EXPECT_EQ(view.zoom(), 25); // Ctrl+wheel stops at 25 %
    for (int step = 0; step <= 10; ++step, view.zoomStep(true)) {
        view.scrollTo(view.shownWidth() / 3, view.shownHeight() / 4);
        view.clampScroll(640, 480);
        // Enlarged, every pixel has window pixels of its own; reduced, a window pixel stands
        // for the few image pixels it covers.
        const int slack = view.zoom() >= 100 ? 0 : 100 / view.zoom();
        for (const stEditPoint p :
             {stEditPoint{30, 20}, stEditPoint{517, 433}, stEditPoint{1029, 819}}) {
            const stEditPoint back = view.toImage(view.toWindowX(p.x), view.toWindowY(p.y));
            EXPECT_LE(std::abs(back.x - p.x), slack) << "zoom " << view.zoom() << " x " << p.x;
            EXPECT_LE(std::abs(back.y - p.y), slack) << "zoom " << view.zoom() << " y " << p.y;
        }
        const stEditPoint before =
            view.toImage(view.toWindowX(kept.left) - 1, view.toWindowY(kept.top) - 1);
        EXPECT_LT(before.x, kept.left) << "zoom " << view.zoom();
        EXPECT_LT(before.y, kept.top) << "zoom " << view.zoom();
    }
    EXPECT_EQ(view.zoom(), 800); // and at 800 %
}

// The scroll bars reach exactly the image's far edge below the toolbar, and no further.
TEST(EditorView, ScrollStaysWithinWhatTheClientAreaCanShow) {
    EditorView view;
    view.setImage(stEditRect{0, 0, 1000, 800});
    view.zoomStep(true);
    view.zoomStep(true); // 200 %: 2000 x 1600
    view.scrollTo(5000, -5);
    view.clampScroll(800, 600);
    EXPECT_EQ(view.scrollX(), 1200);
    EXPECT_EQ(view.scrollY(), 0);
    view.scrollTo(0, 5000);
    view.clampScroll(800, 600);
    EXPECT_EQ(view.scrollY(), 1600 - (600 - EditorView::kToolbarHeight));
    for (int i = 0; i < 6; ++i)
        view.zoomStep(false); // 25 %: smaller than the window
    view.clampScroll(800, 600);
    EXPECT_EQ(view.scrollX(), 0);
    EXPECT_EQ(view.scrollY(), 0);
}

} // namespace
