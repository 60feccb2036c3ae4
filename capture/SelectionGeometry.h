#pragma once

// Geometry of the region selection, free of any Windows call.

struct SelectionPoint {
    int x = 0;
    int y = 0;
};

struct SelectionRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const noexcept { return right - left; }
    int height() const noexcept { return bottom - top; }
    bool empty() const noexcept { return width() <= 0 || height() <= 0; }
    bool contains(SelectionPoint p) const noexcept {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool intersects(const SelectionRect& other) const noexcept {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    // The common part; empty (all zero) when there is none.
    SelectionRect intersection(const SelectionRect& other) const noexcept {
        const SelectionRect common{left > other.left ? left : other.left,
                                   top > other.top ? top : other.top,
                                   right < other.right ? right : other.right,
                                   bottom < other.bottom ? bottom : other.bottom};
        return common.empty() ? SelectionRect{} : common;
    }
    bool operator==(const SelectionRect& other) const noexcept {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
};

// The rectangle spanned by two corners, whichever way the drag went.
inline SelectionRect normalisedRect(SelectionPoint a, SelectionPoint b) noexcept {
    SelectionRect rect;
    rect.left = a.x < b.x ? a.x : b.x;
    rect.right = a.x < b.x ? b.x : a.x;
    rect.top = a.y < b.y ? a.y : b.y;
    rect.bottom = a.y < b.y ? b.y : a.y;
    return rect;
}

// The selection window sits on the virtual screen's top-left corner and its snapshot is read from
// there, so client, snapshot and screen pixels line up even when a monitor left of or above the
// primary one puts that corner at negative coordinates.
inline SelectionPoint snapshotPixelOnScreen(SelectionPoint snapshotPixel,
                                            SelectionPoint virtualScreenOrigin) noexcept {
    return {virtualScreenOrigin.x + snapshotPixel.x, virtualScreenOrigin.y + snapshotPixel.y};
}
inline SelectionRect screenRectInSnapshot(const SelectionRect& onScreen,
                                          SelectionPoint virtualScreenOrigin) noexcept {
    return {onScreen.left - virtualScreenOrigin.x, onScreen.top - virtualScreenOrigin.y,
            onScreen.right - virtualScreenOrigin.x, onScreen.bottom - virtualScreenOrigin.y};
}
