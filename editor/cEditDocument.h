#pragma once

#include "editor/EditImage.h"
#include "editor/stShape.h"

#include <vector>

// What the user made of one captured image: the shapes over it, in drawing order, and the part of
// it that is kept. The captured pixels themselves never change, so every step can be undone;
// only flattening (flattenDocument) makes the image that leaves the editor.
class cEditDocument {
public:
    // Blocks of the pixelate shape are at least this many pixels each way.
    static constexpr int kMinPixelateBlock = 12;

    explicit cEditDocument(stEditImage original);

    const stEditImage& original() const { return original_; }
    const std::vector<stShape>& shapes() const { return now_.shapes; }
    // The kept part, in the captured image's coordinates.
    const stEditRect& crop() const { return now_.crop; }
    // Whether anything differs from the image as captured.
    bool edited() const;

    // Each of these is one step of the undo history; false (and no step) when it changes nothing.
    // A shape without points, or a pixelate shape cut to nothing by the image's edge, is refused;
    // a pixelate area smaller than one block grows to a block.
    bool add(stShape shape);
    bool move(std::size_t index, int dx, int dy);
    bool remove(std::size_t index);
    // Keeps only the part of the kept part inside the rectangle.
    bool cropTo(const stEditRect& rect);

    bool undo();
    bool redo();
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Changes with every step, undo and redo: an image flattened at one revision is current as
    // long as the document still has it.
    unsigned long long revision() const { return revision_; }

    // The topmost shape whose area, widened by its line, holds the point; -1 when none does.
    int shapeAt(stEditPoint point) const;
    // The number the next numbered step gets: one more than the highest one in the document.
    int nextStepNumber() const;

private:
    struct State {
        std::vector<stShape> shapes;
        stEditRect crop;
        bool operator==(const State& other) const {
            return shapes == other.shapes && crop == other.crop;
        }
    };
    bool commit(State next);

    stEditImage original_;
    State now_;
    std::vector<State> undo_;
    std::vector<State> redo_;
    unsigned long long revision_ = 0;
};
