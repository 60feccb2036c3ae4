#include "output/cClipboardOutput.h"
#include "support/ClipboardText.h"
#include "support/PutCapture.h"
#include "support/RecordingUpdate.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace {

const RecordedMessage kCopied = RecordedMessage::notify(true, L"Copied image to clipboard", L"");
const RecordedMessage kFailed =
    RecordedMessage::notify(false, L"Error", L"Failed to copy image to clipboard");

// The clipboard's bitmap in the frame's layout (24 bits, bottom-up); an empty frame if none.
FramePtr clipboardBitmap() {
    FramePtr frame = makeEmptyFrame();
    if (!::OpenClipboard(nullptr))
        return frame;
    if (HBITMAP bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP))) {
        BITMAP info{};
        ::GetObjectW(bitmap, sizeof info, &info);
        frame->allocate(info.bmWidth, info.bmHeight);
        BITMAPINFO header{};
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = info.bmWidth;
        header.bmiHeader.biHeight = info.bmHeight;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 24;
        header.bmiHeader.biCompression = BI_RGB;
        HDC screen = ::GetDC(nullptr);
        if (::GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), frame->pixels.get(),
                        &header, DIB_RGB_COLORS) != info.bmHeight)
            frame->clear();
        ::ReleaseDC(nullptr, screen);
    }
    ::CloseClipboard();
    return frame;
}

// Width and height of the device-independent form the clipboard offers; 0 x 0 if none.
SIZE clipboardDibSize() {
    SIZE size{0, 0};
    if (!::OpenClipboard(nullptr))
        return size;
    if (HANDLE data = ::GetClipboardData(CF_DIB)) {
        const auto* header = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(data));
        size = SIZE{header->biWidth, header->biHeight};
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return size;
}

bool samePixels(const cFrame& a, const cFrame& b) {
    if (a.width != b.width || a.height != b.height)
        return false;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (TestImages::framePixel(a, x, y) != TestImages::framePixel(b, x, y))
                return false;
    return true;
}

TEST(ClipboardOutputTest, PutsTheFrameOnTheClipboardAsABitmapOnly) {
    ASSERT_TRUE(ClipboardText::write(L"earlier text"));
    FramePtr frame = TestImages::makeNoiseFrame(123, 77);
    RecordingUpdate update;
    cClipboardOutput output;
    putCapture(output, frame, 1, &update); // the format code does not matter

    EXPECT_EQ(update.messages(), std::vector<RecordedMessage>{kCopied});
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
    FramePtr copied = clipboardBitmap();
    EXPECT_TRUE(samePixels(*frame, *copied));
    const SIZE dib = clipboardDibSize();
    EXPECT_EQ(dib.cx, 123);
    EXPECT_EQ(dib.cy, 77);
}

TEST(ClipboardOutputTest, EveryFormatCodeAndAnOwnerWindowGiveTheSameBitmap) {
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    cClipboardOutput output;
    output.setOwner(owner);
    for (int format : {0, 2, 7}) {
        FramePtr frame = TestImages::makeNoiseFrame(5 + format, 3, static_cast<unsigned>(format));
        RecordingUpdate update;
        putCapture(output, frame, format, &update);
        EXPECT_EQ(update.messages(), std::vector<RecordedMessage>{kCopied}) << format;
        EXPECT_TRUE(samePixels(*frame, *clipboardBitmap())) << format;
        EXPECT_EQ(::GetClipboardOwner(), owner);
    }
    ::DestroyWindow(owner);
}

TEST(ClipboardOutputTest, NullUpdateStillCopies) {
    FramePtr frame = TestImages::makeNoiseFrame(9, 4);
    cClipboardOutput output;
    putCapture(output, frame, 0, nullptr);
    EXPECT_TRUE(samePixels(*frame, *clipboardBitmap()));
}

TEST(ClipboardOutputTest, BitmapThatCannotBeMadeLeavesTheClipboardAsItWas) {
    ASSERT_TRUE(ClipboardText::write(L"keep me"));
    cClipboardOutput output;
    RecordingUpdate update;

    // Wider than any bitmap GDI will make (the buffer is reserved, never touched).
    FramePtr huge = makeEmptyFrame();
    huge->allocate(0x8000000, 1);
    putCapture(output, huge, 0, &update);
    FramePtr empty = makeEmptyFrame();
    putCapture(output, empty, 0, &update);

    EXPECT_EQ(update.messages(), (std::vector<RecordedMessage>{kFailed, kFailed}));
    EXPECT_EQ(ClipboardText::read(), L"keep me");
    putCapture(output, empty, 0, nullptr); // nothing to report to, nothing thrown
}

TEST(ClipboardOutputTest, ClipboardHeldByAnotherIsAFailureNotASuccess) {
    ASSERT_TRUE(ClipboardText::write(L"held elsewhere"));
    std::atomic<bool> holding{false};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        HWND window = ::CreateWindowExW(0, L"STATIC", L"holder", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, nullptr, nullptr);
        if (::OpenClipboard(window)) {
            holding = true;
            while (!release)
                ::Sleep(5);
            ::CloseClipboard();
        }
        ::DestroyWindow(window);
        holding = true; // never leave the waiter hanging
    });
    while (!holding)
        ::Sleep(5);

    FramePtr frame = TestImages::makeNoiseFrame(10, 10);
    RecordingUpdate update;
    cClipboardOutput output;
    putCapture(output, frame, 0, &update);
    release = true;
    holder.join();

    EXPECT_EQ(update.messages(), std::vector<RecordedMessage>{kFailed});
    EXPECT_EQ(ClipboardText::read(), L"held elsewhere");
}

} // namespace
