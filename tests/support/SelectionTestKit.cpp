#include "support/SelectionTestKit.h"

#include "capture/ScreenGrab.h"
#include "capture/cFullScreenWnd.h"
#include "support/TestEnvironment.h"
#include "support/TestImages.h"

#include <cstdint>
#include <sstream>
#include <vector>

namespace SelectionTestKit {

HWND shownSelectionWindow() {
    HWND window = ::FindWindowW(cFullScreenWnd::windowClass().c_str(), nullptr);
    if (!window || !::IsWindowVisible(window) ||
        ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId())
        return nullptr;
    return window;
}

void endSelectionWindow() {
    if (HWND window = ::FindWindowW(cFullScreenWnd::windowClass().c_str(), nullptr))
        ::DestroyWindow(window);
}

void dragSelection(InputScript& script, int fromX, int fromY, int toX, int toY) {
    script.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([=, &script] { script.moveTo(fromX, fromY); })
        .then([&script] { script.leftDown(); })
        .then([=, &script] { script.moveTo(toX, toY); })
        .then([&script] { script.leftUp(); });
}

COLORREF patternColour(int x, int y) {
    const int block = ((x >> 8) + 3 * (y >> 8)) & 0xF;
    return RGB(x & 0xFF, y & 0xFF, 7 + 16 * block);
}

void paintPattern(HDC dc, int width, int height) {
    const std::size_t stride = cFrame::strideFor(width);
    std::vector<unsigned char> rows(stride * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        // Bottom-up rows.
        unsigned char* row = rows.data() + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = patternColour(x, y);
            row[x * 3] = GetBValue(colour);
            row[x * 3 + 1] = GetGValue(colour);
            row[x * 3 + 2] = GetRValue(colour);
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, rows.data(), &info,
                        DIB_RGB_COLORS);
}

bool patternShown() {
    FramePtr shown = grabRect(kPatternRect);
    for (int y = 0; y < shown->height; ++y)
        for (int x = 0; x < shown->width; ++x)
            if (TestImages::framePixel(*shown, x, y) != patternColour(x, y))
                return false;
    return true;
}

std::string differenceFrom(const cFrame& frame, const cFrame& reference, int left, int top) {
    if (!frame.pixels)
        return "the frame has no pixels";
    if (left < 0 || top < 0 || left + frame.width > reference.width ||
        top + frame.height > reference.height)
        return "the frame reaches outside the reference";
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            const COLORREF got = TestImages::framePixel(frame, x, y);
            const COLORREF want = TestImages::framePixel(reference, left + x, top + y);
            if (got != want) {
                std::ostringstream text;
                text << "pixel (" << x << ", " << y << ") is " << std::hex << got
                     << ", the reference has " << want;
                return text.str();
            }
        }
    return {};
}

void saveBitmap(const cFrame& frame, const std::wstring& path) {
    const std::uint32_t imageSize = static_cast<std::uint32_t>(frame.bufferSize());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = frame.width;
    header.biHeight = frame.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = imageSize;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(frame.pixels.get()), imageSize);
    TestEnvironment::writeFileBytes(path, bytes);
}

PaintedWindow* PatternScreenTest::pattern = nullptr;

void PatternScreenTest::SetUpTestSuite() {
    pattern = new PaintedWindow(kPatternRect, paintPattern);
}

void PatternScreenTest::TearDownTestSuite() {
    delete pattern;
    pattern = nullptr;
}

void PatternScreenTest::SetUp() {
    // Input of an earlier test is handled first, and the screen shows the pattern again once the
    // last selection window is gone.
    ASSERT_TRUE(pumpUntil(inputSettled));
    ::SetForegroundWindow(pattern->hwnd());
    ASSERT_TRUE(pumpUntil(patternShown));
    script.onTimeout = endSelectionWindow;
}

void PatternScreenTest::TearDown() {
    script.releaseAll();
    EXPECT_TRUE(pumpUntil(inputSettled));
}

bool PatternScreenTest::inputSettled() {
    return ::GetKeyState(VK_LBUTTON) >= 0 && ::GetKeyState(VK_RBUTTON) >= 0 &&
           ::GetKeyState(VK_ESCAPE) >= 0;
}

} // namespace SelectionTestKit
