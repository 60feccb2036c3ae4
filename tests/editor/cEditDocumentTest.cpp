#include "editor/Flatten.h"
#include "editor/cEditDocument.h"
#include "editor/EditTestImages.h"

#include <gtest/gtest.h>

namespace {

stShape box(ShapeKind kind, stEditPoint a, stEditPoint b) {
    stShape shape;
    shape.kind = kind;
    shape.points = {a, b};
    return shape;
}

TEST(EditDocument, UndoAndRedoEveryStepCropIncluded) {
    cEditDocument doc(noiseImage(80, 60, 4));
    const stEditImage original = flattenDocument(doc, nullptr);
    EXPECT_TRUE(original.bytes == doc.original().bytes);
    ASSERT_TRUE(doc.add(box(ShapeKind::RedactBox, {5, 5}, {20, 15})));
    ASSERT_TRUE(doc.cropTo({2, 3, 50, 40}));
    ASSERT_TRUE(doc.move(0, 3, 4));
    const stEditImage edited = flattenDocument(doc, nullptr);
    EXPECT_EQ(edited.width, 48);
    EXPECT_EQ(edited.height, 37);
    // The box, both corners inside, moved to (8, 9)-(23, 19): (6, 6)-(21, 16) in the crop.
    EXPECT_TRUE((edited.pixel(6, 6) == stEditColour{0, 0, 0}));
    EXPECT_TRUE(edited.pixel(5, 6) == doc.original().pixel(7, 9));
    EXPECT_TRUE((edited.pixel(21, 16) == stEditColour{0, 0, 0}));
    EXPECT_TRUE(edited.pixel(22, 17) == doc.original().pixel(24, 20));
}

TEST(EditDocument, ANewStepDropsWhatCouldBeRedone) {
    cEditDocument doc(noiseImage(40, 40, 1));
    ASSERT_TRUE(doc.add(box(ShapeKind::Rectangle, {1, 1}, {9, 9})));
    ASSERT_TRUE(doc.undo());
    ASSERT_TRUE(doc.add(box(ShapeKind::Ellipse, {1, 1}, {9, 9})));
    EXPECT_FALSE(doc.canRedo());
    ASSERT_EQ(doc.shapes().size(), 1u);
    EXPECT_EQ(doc.shapes()[0].kind, ShapeKind::Ellipse);
}

TEST(EditDocument, StepsThatChangeNothingAreNoSteps) {
    cEditDocument doc(noiseImage(40, 40, 1));
    EXPECT_FALSE(doc.cropTo(doc.original().bounds()));
    EXPECT_FALSE(doc.cropTo({50, 50, 60, 60}));
    EXPECT_FALSE(doc.move(0, 1, 1));
    EXPECT_FALSE(doc.remove(0));
    EXPECT_FALSE(doc.add(stShape{}));
    EXPECT_FALSE(doc.canUndo());
    // A step that is none leaves an image flattened before it current.
    EXPECT_EQ(doc.revision(), 0u);
}

TEST(EditDocument, EveryStepUndoAndRedoMakesAFlattenedImageStale) {
    cEditDocument doc(noiseImage(40, 40, 1));
    unsigned long long seen = doc.revision();
    const auto changed = [&] {
        const bool moved = doc.revision() != seen;
        seen = doc.revision();
        return moved;
    };
    ASSERT_TRUE(doc.add(box(ShapeKind::Rectangle, {1, 1}, {9, 9})));
    EXPECT_TRUE(changed());
    ASSERT_TRUE(doc.undo());
    EXPECT_TRUE(changed());
    // Back to a state flattened before: still a new revision, the image is made again.
    ASSERT_TRUE(doc.redo());
    EXPECT_TRUE(changed());
    ASSERT_TRUE(doc.move(0, 2, 2));
    EXPECT_TRUE(changed());
    ASSERT_TRUE(doc.cropTo({0, 0, 20, 20}));
    EXPECT_TRUE(changed());
    ASSERT_TRUE(doc.remove(0));
    EXPECT_TRUE(changed());
    EXPECT_FALSE(doc.remove(0));
    EXPECT_FALSE(changed());
}

TEST(EditDocument, APixelateAreaIsAtLeastOneBlockInsideTheImage) {
    cEditDocument doc(noiseImage(100, 50, 1));
    ASSERT_TRUE(doc.add(box(ShapeKind::Pixelate, {96, 2}, {98, 3})));
    const stEditRect area = doc.shapes()[0].pointBounds();
    EXPECT_TRUE((area == stEditRect{88, 0, 100, 12})) << area.left << " " << area.top;
}

TEST(EditDocument, PixelateAtTheCropEdgeUsesNothingCroppedOff) {
    cEditDocument doc(noiseImage(100, 80, 1));
    ASSERT_TRUE(doc.cropTo({20, 20, 80, 60}));
    ASSERT_TRUE(doc.add(box(ShapeKind::Pixelate, {20, 20}, {45, 45})));
    const stEditImage a = flattenDocument(doc, nullptr);
    stEditImage changed = doc.original();
    for (int x = 0; x < 100; ++x)
        changed.setPixel(x, 19, {1, 2, 3});
    for (int y = 0; y < 80; ++y)
        changed.setPixel(19, y, {1, 2, 3});
    const stEditImage b = flatten(changed, doc.crop(), doc.shapes(), nullptr);
    EXPECT_TRUE(a.bytes == b.bytes);
}

TEST(EditDocument, StepsNumberOnAndDeleteFindsTheTopShape) {
    cEditDocument doc(noiseImage(100, 100, 1));
    stShape step = box(ShapeKind::Step, {50, 50}, {50, 50});
    step.number = doc.nextStepNumber();
    ASSERT_TRUE(doc.add(step));
    step.number = doc.nextStepNumber();
    EXPECT_EQ(step.number, 2);
    ASSERT_TRUE(doc.add(box(ShapeKind::Rectangle, {40, 40}, {60, 60})));
    EXPECT_EQ(doc.shapeAt({50, 50}), 1);
    EXPECT_EQ(doc.shapeAt({95, 5}), -1);
    ASSERT_TRUE(doc.remove(1));
    EXPECT_EQ(doc.shapeAt({50, 50}), 0);
}

} // namespace
