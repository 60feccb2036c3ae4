// The editor as a user meets it: the Edit combination through the real keyboard hook, a region
// dragged on the selection window, then tools, drags, typing and keys into the editor window.
#include "app/CPixlanceApp.h"
#include "capture/ScreenGrab.h"
#include "editor/EditorView.h"
#include "editor/cEditorWnd.h"
#include "platform/MessagePump.h"
#include "support/InputScript.h"
#include "support/Screenshot.h"
#include "support/SelectionTestKit.h"
#include "support/TestEnvironment.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace SelectionTestKit;
using TestImages::framePixel;

namespace {

// The region every test drags: 300 x 200 pixels of the pattern, from (100, 200).
constexpr int kLeft = 100;
constexpr int kTop = 200;
constexpr int kWidth = 300;
constexpr int kHeight = 200;

// Keeps each frame the outputs get, as its pixels were.
class KeptFrames : public IFrameOutput {
public:
    void put(stCaptureRecord* capture, int, IFrameOutputUpdate*) override {
        const cFrame& f = *capture->frame;
        FramePtr copy = makeEmptyFrame();
        copy->allocate(f.width, f.height);
        std::copy(f.pixels.get(), f.pixels.get() + f.bufferSize(), copy->pixels.get());
        frames.push_back(std::move(copy));
    }
    void cancelPending() override {}
    std::vector<FramePtr> frames;
};

HWND editorWindow() {
    HWND window = ::FindWindowW(nullptr, cEditorWnd::kCaption);
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

// The message box the editor asks with, while it is shown.
HWND questionBox() {
    HWND box = ::FindWindowW(L"#32770", cEditorWnd::kCaption);
    return box && ::IsWindowVisible(box) ? box : nullptr;
}

std::wstring staticTextOf(HWND box) {
    wchar_t text[64] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 64);
    return text;
}

class EditorWndTest : public PatternScreenTest {
protected:
    void SetUp() override {
        PatternScreenTest::SetUp();
        app.setOutputs(nullptr, nullptr, &kept); // the upload slot always runs
        app.keyboardHook().install(::GetCurrentThreadId(), app.hotKeys());
        reference = grabFullScreen();
        MessagePump::setThreadMessageHandler(
            [this](const MSG& msg) { app.handleThreadMessage(msg); });
        script.onTimeout = endEverything;
    }
    static void endEverything() {
        {
            endSelectionWindow();
            if (HWND box = questionBox())
                ::EndDialog(box, IDNO);
            if (HWND editor = editorWindow())
                ::DestroyWindow(editor);
        }
    }
    void TearDown() override {
        app.keyboardHook().remove();
        MessagePump::setThreadMessageHandler(nullptr);
        PatternScreenTest::TearDown();
    }

    // Ctrl+Shift+E, the region dragged, the editor shown.
    // Moved off the topmost pattern window, which would take the clicks.
    void openEditor() {
        s().then([this] { s().press({VK_CONTROL, VK_SHIFT, 'E'}); });
        dragSelection(s(), kLeft, kTop, kLeft + kWidth, kTop + kHeight);
        s().waitFor([] { return editorWindow() != nullptr; }, "the editor")
            .then([] {
                ::SetWindowPos(editorWindow(), nullptr, 820, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                ::UpdateWindow(editorWindow());
            })
            .waitFor([] { return ::GetForegroundWindow() == editorWindow(); }, "its focus");
    }
    InputScript& s() { return *current; }
    // The screen point that shows the image's pixel (x, y) at 100 %.
    static POINT onImage(int x, int y) {
        POINT p{x, y + EditorView::kToolbarHeight};
        ::ClientToScreen(editorWindow(), &p);
        return p;
    }
    void key(WORD k) {
        s().then([this, k] { s().press({k}); });
    }
    // Pressed in order, let go in reverse.
    void keys(std::vector<WORD> combination) {
        s().then([this, combination] {
            for (WORD k : combination)
                s().keyDown(k);
            for (auto k = combination.rbegin(); k != combination.rend(); ++k)
                s().keyUp(*k);
        });
    }
    void dragOnImage(int x0, int y0, int x1, int y1) {
        s().then([=] { s().moveTo(onImage(x0, y0).x, onImage(x0, y0).y); })
            .then([this] { s().leftDown(); })
            .then([=] { s().moveTo(onImage(x1, y1).x, onImage(x1, y1).y); })
            .then([this] { s().leftUp(); });
    }
    void screenshot(const std::wstring& name) {
        s().then([name] { saveWindowScreenshot(editorWindow(), name); });
    }
    // Plays the script through the program's own message loop, as the program runs it.
    void run() {
        s().start();
        int quitCode = 0;
        while (!s().finished() && !s().failed() && MessagePump::pumpOne(nullptr, quitCode)) {
        }
        ASSERT_TRUE(s().finished()) << s().failure();
    }
    void closed() {
        s().waitFor([] { return editorWindow() == nullptr; }, "the editor to close");
    }
    // The region's pixel as the screen showed it.
    COLORREF shown(int x, int y) const { return framePixel(*reference, kLeft + x, kTop + y); }

    InputScript* current = &script;
    CPixlanceApp app;
    KeptFrames kept;
    FramePtr reference;
};

TEST_F(EditorWndTest, RedactionBoxIsThatRectangleInPureBlackInTheSavedFile) {
    const std::wstring folder = TestEnvironment::freshTempDir(L"editor-redact");
    app.disk().setFolder(folder + L"\\");
    app.setOutputFormat(2);
    app.setDiskOutputOn(1);
    app.setOutputs(&app.disk(), nullptr, &kept);
    openEditor();
    key('B');
    dragOnImage(50, 40, 150, 100);
    screenshot(L"editor-redaction-box.png");
    key(VK_RETURN);
    closed();
    run();

    ASSERT_EQ(kept.frames.size(), 1u);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].extension(), ".bmp");
    const TestImages::DecodedImage saved =
        TestImages::decode(TestEnvironment::readFileBytes(files[0].wstring()));
    ASSERT_EQ(saved.width, kWidth);
    ASSERT_EQ(saved.height, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool inBox = x >= 50 && x <= 150 && y >= 40 && y <= 100;
            ASSERT_EQ(saved.at(x, y), inBox ? RGB(0, 0, 0) : shown(x, y)) << x << "," << y;
        }
}

TEST_F(EditorWndTest, PixelatedOutputDoesNotDependOnThePixelsUnderTheArea) {
    // The same edit twice; the second time a window of other content stands inside the area.
    std::vector<FramePtr> outputs;
    for (int pass = 0; pass < 2; ++pass) {
        std::unique_ptr<PaintedWindow> cover;
        if (pass == 1) {
            cover = std::make_unique<PaintedWindow>(
                RECT{kLeft + 70, kTop + 60, kLeft + 190, kTop + 120}, [](HDC dc, int w, int h) {
                    PaintedWindow::fill(dc, RECT{0, 0, w / 2, h}, RGB(250, 250, 250));
                    PaintedWindow::fill(dc, RECT{w / 2, 0, w, h}, RGB(5, 90, 200));
                });
            reference = grabFullScreen();
        }
        InputScript passScript;
        passScript.onTimeout = endEverything;
        current = &passScript;
        openEditor();
        key('X');
        dragOnImage(60, 50, 200, 130);
        if (pass == 1)
            screenshot(L"editor-pixelate.png");
        key(VK_RETURN);
        closed();
        run();
        current = &script;
        ASSERT_EQ(kept.frames.size(), static_cast<std::size_t>(pass + 1));
        // The frames under the area differ, or the comparison proves nothing.
        if (pass == 1) {
            EXPECT_NE(shown(100, 80),
                      patternColour(kLeft + 100 - kPatternRect.left, kTop + 80 - kPatternRect.top));
        }
    }
    const cFrame& a = *kept.frames[0];
    const cFrame& b = *kept.frames[1];
    ASSERT_EQ(a.width, kWidth);
    ASSERT_EQ(b.width, kWidth);
    EXPECT_TRUE(std::equal(a.pixels.get(), a.pixels.get() + a.bufferSize(), b.pixels.get()));
}

TEST_F(EditorWndTest, CropThenUndoSendsTheWholeRegionAgain) {
    openEditor();
    key('C');
    dragOnImage(30, 20, 129, 69);
    s().waitFor([this] { return app.editor().session()->document().crop().width() == 100; },
                "the crop");
    screenshot(L"editor-crop.png");
    s().then([this] {
        const stEditRect crop = app.editor().session()->document().crop();
        EXPECT_EQ(crop, (stEditRect{30, 20, 130, 70}));
    });
    keys({VK_CONTROL, 'Z'});
    key(VK_RETURN);
    closed();
    run();
    ASSERT_EQ(kept.frames.size(), 1u);
    EXPECT_EQ(differenceFrom(*kept.frames[0], *reference, kLeft, kTop), "");
}

TEST_F(EditorWndTest, TypedTextIsInTheSentImage) {
    openEditor();
    key('T');
    s().then([this] { s().click(onImage(40, 60)); }).then([this] { s().type(L"你好 Pixlance"); });
    screenshot(L"editor-text.png");
    key(VK_RETURN);
    s().then([] { EXPECT_NE(editorWindow(), nullptr) << "the first Enter only ends the text"; });
    key(VK_RETURN);
    closed();
    run();
    ASSERT_EQ(kept.frames.size(), 1u);
    const cFrame& sent = *kept.frames[0];
    // Red strokes right of and below the click, both over the Chinese and the Latin letters;
    // nothing changed far from it.
    int redLeft = 0, redRight = 0;
    for (int y = 60; y < 100; ++y)
        for (int x = 40; x < 260; ++x) {
            const COLORREF c = framePixel(sent, x, y);
            if (c != shown(x, y) && GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80)
                ++(x < 80 ? redLeft : redRight);
        }
    EXPECT_GT(redLeft, 20);
    EXPECT_GT(redRight, 40);
    for (int y = 130; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(framePixel(sent, x, y), shown(x, y)) << x << "," << y;
}

TEST_F(EditorWndTest, EscapeAfterDrawingAsksAndNoKeepsTheEditor) {
    openEditor();
    key('R');
    dragOnImage(20, 20, 120, 90);
    key(VK_ESCAPE);
    s().waitFor([] { return questionBox() != nullptr; }, "the question")
        .then([] {
            saveWindowScreenshot(questionBox(), L"editor-discard-question.png");
            EXPECT_EQ(staticTextOf(questionBox()), L"放弃修改?");
            wchar_t yes[16] = L"", no[16] = L"";
            ::GetDlgItemTextW(questionBox(), IDYES, yes, 16);
            ::GetDlgItemTextW(questionBox(), IDNO, no, 16);
            EXPECT_STREQ(yes, L"是");
            EXPECT_STREQ(no, L"否");
        })
        .then([this] {
            RECT no{};
            ::GetWindowRect(::GetDlgItem(questionBox(), IDNO), &no);
            s().click({(no.left + no.right) / 2, (no.top + no.bottom) / 2});
        })
        .waitFor([] { return questionBox() == nullptr; }, "the question to close")
        .then([this] {
            EXPECT_NE(editorWindow(), nullptr);
            EXPECT_EQ(app.editor().session()->document().shapes().size(), 1u);
        });
    // Asked again, Enter takes the default, 是: closed, nothing sent.
    key(VK_ESCAPE);
    s().waitFor([] { return questionBox() != nullptr; }, "the question again");
    key(VK_RETURN);
    closed();
    run();
    EXPECT_TRUE(kept.frames.empty());
}

TEST_F(EditorWndTest, FullScreenKeyWhileEditingIsItsOwnCaptureAndEditFindsTheEditor) {
    openEditor();
    key('B');
    dragOnImage(10, 10, 60, 60);
    keys({VK_CONTROL, VK_SHIFT, 'F'});
    s().waitFor([this] { return kept.frames.size() == 1; }, "the full-screen capture");
    // Another window in front; a second Edit brings the editor back and opens no selection.
    s().then([] { ::SetForegroundWindow(pattern->hwnd()); })
        .waitFor([] { return ::GetForegroundWindow() == pattern->hwnd(); }, "the other window");
    keys({VK_CONTROL, VK_SHIFT, 'E'});
    s().waitFor([] { return ::GetForegroundWindow() == editorWindow(); }, "the editor in front")
        .then([] { EXPECT_EQ(shownSelectionWindow(), nullptr); });
    keys({VK_CONTROL, 'S'});
    closed();
    run();
    ASSERT_EQ(kept.frames.size(), 2u);
    EXPECT_EQ(kept.frames[0]->width, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(kept.frames[0]->height, ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EXPECT_EQ(kept.frames[1]->width, kWidth);
    EXPECT_EQ(framePixel(*kept.frames[1], 30, 30), RGB(0, 0, 0));
    EXPECT_EQ(framePixel(*kept.frames[1], 80, 30), shown(80, 30));
}

// Every drawing tool once, each in a cell of its own; each changes its cell and no other.
TEST_F(EditorWndTest, EveryToolMarksItsOwnCell) {
    const WORD tools[] = {'R', 'E', 'A', 'L', 'P', 'H', 'N', 'B', 'X'};
    openEditor();
    for (std::size_t i = 0; i < std::size(tools); ++i) {
        const int x = 10 + static_cast<int>(i % 5) * 58;
        const int y = 10 + static_cast<int>(i / 5) * 90;
        key(tools[i]);
        if (tools[i] == 'N')
            s().then([=] { s().click(onImage(x + 25, y + 30)); });
        else
            dragOnImage(x + 5, y + 10, x + 45, y + 60);
    }
    screenshot(L"editor-tools.png");
    key(VK_RETURN);
    closed();
    run();
    ASSERT_EQ(kept.frames.size(), 1u);
    const cFrame& sent = *kept.frames[0];
    for (std::size_t i = 0; i < std::size(tools); ++i) {
        const int left = 10 + static_cast<int>(i % 5) * 58, top = 10 + static_cast<int>(i / 5) * 90;
        int changed = 0;
        for (int y = top - 8; y < top + 78; ++y)
            for (int x = left - 4; x < left + 54; ++x)
                changed += framePixel(sent, x, y) != shown(x, y);
        EXPECT_GT(changed, 40) << "tool " << static_cast<char>(tools[i]);
    }
    // The ninth cell's row has room right of it: untouched.
    for (int y = 100; y < 190; ++y)
        for (int x = 250; x < kWidth; ++x)
            ASSERT_EQ(framePixel(sent, x, y), shown(x, y)) << x << "," << y;
}

TEST_F(EditorWndTest, CtrlCCopiesTheEditedImageOnlyAndKeepsTheEditorOpen) {
    KeptFrames clipboard;
    app.setOutputs(nullptr, &clipboard, &kept);
    openEditor();
    key('B');
    dragOnImage(20, 20, 70, 50);
    keys({VK_CONTROL, 'C'});
    s().waitFor([&] { return clipboard.frames.size() == 1; }, "the copy").then([] {
        EXPECT_NE(editorWindow(), nullptr);
    });
    key(VK_ESCAPE);
    s().waitFor([] { return questionBox() != nullptr; }, "the question");
    key(VK_RETURN);
    closed();
    run();
    EXPECT_TRUE(kept.frames.empty());
    ASSERT_EQ(clipboard.frames.size(), 1u);
    EXPECT_EQ(clipboard.frames[0]->width, kWidth);
    EXPECT_EQ(framePixel(*clipboard.frames[0], 40, 30), RGB(0, 0, 0));
    EXPECT_EQ(framePixel(*clipboard.frames[0], 100, 30), shown(100, 30));
}

} // namespace
