#include "editor/cEditorSession.h"

#include "editor/EditTestImages.h"
#include "editor/EditorFrame.h"

#include <gtest/gtest.h>

namespace {

cEditorSession session() {
    return cEditorSession(noiseImage(200, 150, 3));
}

void dragWith(cEditorSession& s, stEditPoint from, stEditPoint to) {
    s.press(from);
    s.drag({(from.x + to.x) / 2, (from.y + to.y) / 2});
    s.release(to);
}

TEST(EditorSession, RedactionIsBlackWhateverColourTheOtherToolsHave) {
    cEditorSession s = session();
    s.chooseColour(1); // yellow for the outlines
    s.chooseTool(EditorTool::RedactBox);
    EXPECT_EQ(s.colourIndex(), 4u); // the toolbar shows black chosen
    dragWith(s, {10, 10}, {40, 30});
    s.chooseTool(EditorTool::Rectangle);
    dragWith(s, {50, 50}, {60, 60});
    ASSERT_EQ(s.document().shapes().size(), 2u);
    EXPECT_EQ(s.document().shapes()[0].kind, ShapeKind::RedactBox);
    EXPECT_TRUE(s.document().shapes()[0].colour == (stEditColour{0, 0, 0}));
    EXPECT_TRUE(s.document().shapes()[1].colour == (stEditColour{255, 255, 0}));
    EXPECT_EQ(s.colourIndex(), 1u);
    // A click without a drag draws no box.
    s.press({80, 80});
    s.release({80, 80});
    EXPECT_EQ(s.document().shapes().size(), 2u);
}

TEST(EditorSession, WidthsStepWithinTheRowAndToolsFollowTheirKeys) {
    cEditorSession s = session();
    EXPECT_EQ(s.width(), 2);
    s.chooseWidth(widthIndexAfter(s.widthIndex(), false));
    EXPECT_EQ(s.width(), 2);
    for (int w : {4, 8, 8}) {
        s.chooseWidth(widthIndexAfter(s.widthIndex(), true));
        EXPECT_EQ(s.width(), w);
    }
    EditorTool tool = EditorTool::Select;
    const wchar_t keys[] = L"REALPHTNBXC";
    const EditorTool tools[] = {EditorTool::Rectangle, EditorTool::Ellipse, EditorTool::Arrow,
                                EditorTool::Line,      EditorTool::Pen,     EditorTool::Highlighter,
                                EditorTool::Text,      EditorTool::Step,    EditorTool::RedactBox,
                                EditorTool::Pixelate,  EditorTool::Crop};
    for (std::size_t i = 0; i < std::size(tools); ++i) {
        ASSERT_TRUE(toolForKey(keys[i], tool)) << static_cast<char>(keys[i]);
        EXPECT_EQ(tool, tools[i]);
    }
    EXPECT_FALSE(toolForKey(L'Q', tool));
}

TEST(EditorSession, TextEndsByEnterOrByAClickThatStartsNothing) {
    cEditorSession s = session();
    s.chooseTool(EditorTool::Text);
    s.press({20, 30});
    s.release({20, 30});
    for (wchar_t c : std::wstring(L"你好x"))
        s.type(c);
    s.backspace();
    s.type(L'\r'); // control characters are not text
    ASSERT_TRUE(s.typing());
    s.press({100, 100}); // ends the text only
    s.release({100, 100});
    EXPECT_FALSE(s.typing());
    ASSERT_EQ(s.document().shapes().size(), 1u);
    EXPECT_EQ(s.document().shapes()[0].text, L"你好");
    EXPECT_TRUE(s.document().shapes()[0].points.front() == (stEditPoint{20, 30}));
    EXPECT_FALSE(s.endText()); // nothing left to end: Enter sends now
}

TEST(EditorSession, DraggingAShapeMovesItAndDeleteTakesTheSelectedOrTheLast) {
    cEditorSession s = session();
    dragWith(s, {10, 10}, {30, 30});
    dragWith(s, {100, 100}, {120, 120});
    s.chooseTool(EditorTool::Select);
    dragWith(s, {10, 20}, {15, 60}); // on the first one's left edge
    ASSERT_EQ(s.document().shapes().size(), 2u);
    EXPECT_TRUE(s.document().shapes()[0].points == (std::vector<stEditPoint>{{15, 50}, {35, 70}}));
    EXPECT_EQ(s.selected(), 0);
    EXPECT_TRUE(s.removeSelectedOrLast());
    ASSERT_EQ(s.document().shapes().size(), 1u);
    EXPECT_TRUE(s.document().shapes()[0].points.front() == (stEditPoint{100, 100}));
    EXPECT_TRUE(s.removeSelectedOrLast());
    EXPECT_FALSE(s.removeSelectedOrLast());
}

TEST(EditorSession, CropToolKeepsTheDraggedPartAndStepsNumberOn) {
    cEditorSession s = session();
    s.chooseTool(EditorTool::Crop);
    dragWith(s, {120, 90}, {20, 10});
    EXPECT_TRUE(s.document().crop() == (stEditRect{20, 10, 121, 91}));
    EXPECT_TRUE(s.document().shapes().empty());
    s.chooseTool(EditorTool::Step);
    for (int i = 0; i < 3; ++i) {
        s.press({30 + i * 20, 40});
        s.release({30 + i * 20, 40});
    }
    ASSERT_EQ(s.document().shapes().size(), 3u);
    EXPECT_EQ(s.document().shapes()[2].number, 3);
}

// An odd width has padded rows: the bytes go through both ways unchanged, the frame owns them.
TEST(EditorFrame, PixelsGoBothWaysByteForByte) {
    const stEditImage image = noiseImage(33, 7, 9);
    const FramePtr frame = frameOf(image);
    ASSERT_EQ(frame->width, 33);
    ASSERT_EQ(frame->height, 7);
    ASSERT_EQ(frame->bufferSize(), image.bytes.size());
    EXPECT_TRUE(editImageOf(*frame).bytes == image.bytes);
    EXPECT_EQ(frameOf(stEditImage{})->pixels, nullptr);
}

} // namespace
