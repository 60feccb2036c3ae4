// Any sequence of edits (shapes of every kind, moves, deletions, crops, undos and redos) over a
// small image: undoing everything gives back the captured bytes, and redoing everything the
// edited ones, through every state between; every flattened image has the kept part's size and
// layout.
#include "FuzzChecks.h"
#include "editor/EditTestImages.h"
#include "editor/Flatten.h"
#include "editor/cEditDocument.h"

#include <cstdint>
#include <cstdlib>

namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool more() const { return at_ < size_; }
    int next(int range) { return at_ < size_ ? data_[at_++] % range : 0; }
    int coordinate() { return next(80) - 8; } // a little outside the 64 x 48 image too

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void checkLayout(const stEditImage& image, const cEditDocument& doc) {
    check(image.width == doc.crop().width() && image.height == doc.crop().height());
    check(image.bytes.size() == image.stride() * static_cast<std::size_t>(image.height));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    cEditDocument doc(noiseImage(64, 48, 7));
    const std::vector<std::uint8_t> original = doc.original().bytes;
    for (int steps = 0; in.more() && steps < 64; ++steps) {
        switch (in.next(6)) {
        case 0:
        case 1: {
            stShape shape;
            shape.kind = static_cast<ShapeKind>(in.next(10));
            shape.width = 2 << in.next(3);
            shape.colour = {static_cast<std::uint8_t>(in.next(256)), 0, 255};
            const int points = 1 + in.next(4);
            for (int i = 0; i < points; ++i)
                shape.points.push_back({in.coordinate(), in.coordinate()});
            doc.add(shape);
            break;
        }
        case 2:
            doc.move(static_cast<std::size_t>(in.next(8)), in.next(41) - 20, in.next(41) - 20);
            break;
        case 3:
            doc.remove(static_cast<std::size_t>(in.next(8)));
            break;
        case 4:
            doc.cropTo({in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate()});
            break;
        default:
            if (in.next(2))
                doc.undo();
            else
                doc.redo();
            break;
        }
        checkLayout(flattenDocument(doc, nullptr), doc);
    }
    // The newest state of the history, then every state on the way back to the captured image;
    // redoing walks the same states forward.
    while (doc.redo()) {
    }
    std::vector<std::vector<std::uint8_t>> states{flattenDocument(doc, nullptr).bytes};
    while (doc.undo())
        states.push_back(flattenDocument(doc, nullptr).bytes);
    check(!doc.edited());
    check(states.back() == original);
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        check(doc.redo());
        check(flattenDocument(doc, nullptr).bytes == states[i]);
    }
    check(!doc.redo());
    return 0;
}
