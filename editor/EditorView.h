#pragma once

#include "editor/EditImage.h"

// Where the kept part of the image shows in the window: below the toolbar, at a zoom of 25 to
// 800 %, scrolled by (scrollX, scrollY) window pixels.
class EditorView {
public:
    static constexpr int kToolbarHeight = 32;
    static constexpr int kMinZoom = 25;
    static constexpr int kMaxZoom = 800;

    int zoom() const { return zoom_; }
    // One step in or out (Ctrl+wheel).
    void zoomStep(bool in);
    void setImage(const stEditRect& kept) { kept_ = kept; }
    // The image's size in window pixels at this zoom.
    int shownWidth() const { return scaled(kept_.width()); }
    int shownHeight() const { return scaled(kept_.height()); }
    // Keeps the scroll within what the client area of this size can show.
    void clampScroll(int clientWidth, int clientHeight);
    void scrollTo(int x, int y) { scrollX_ = x, scrollY_ = y; }
    int scrollX() const { return scrollX_; }
    int scrollY() const { return scrollY_; }

    // A window point as the point of the captured image shown there, and back: the first window
    // pixel that shows the image's pixel.
    stEditPoint toImage(int x, int y) const;
    int toWindowX(int imageX) const { return firstShowing(imageX - kept_.left) - scrollX_; }
    int toWindowY(int imageY) const {
        return firstShowing(imageY - kept_.top) - scrollY_ + kToolbarHeight;
    }

private:
    int scaled(int v) const { return static_cast<int>(static_cast<long long>(v) * zoom_ / 100); }
    // The first window pixel, counted from the image's edge, whose point maps into pixel v.
    int firstShowing(int v) const {
        const long long at = static_cast<long long>(v) * zoom_;
        return static_cast<int>(at >= 0 ? (at + 99) / 100 : -(-at / 100));
    }
    int zoom_ = 100;
    int scrollX_ = 0;
    int scrollY_ = 0;
    stEditRect kept_;
};
