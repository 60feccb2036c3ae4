#include "GrabBench.h"

#include "BenchClock.h"

#include "capture/FrameBitmapHeader.h"
#include "capture/ScreenGrab.h"
#include "platform/AppException.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct ScreenSource {
    HWND desktop = ::GetDesktopWindow();
    WindowDC dc = WindowDC::ofWindow(desktop);
    RECT rect = virtualScreenRect();
    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
};

void require(bool ok) {
    if (!ok)
        throw AppException(L"grab failed");
}

// The grab as it was: a bitmap of the screen's own format, converted by GetDIBits.
void grabThroughCompatibleBitmap(const ScreenSource& screen) {
    UniqueMemoryDC memory(::CreateCompatibleDC(nullptr));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.dc.get(), screen.width(), screen.height()));
    require(memory && bitmap);
    {
        ScopedSelectObject selection(memory.get(), bitmap.get());
        require(::BitBlt(memory.get(), 0, 0, screen.width(), screen.height(), screen.dc.get(),
                         screen.rect.left, screen.rect.top, SRCCOPY));
    }
    FramePtr frame = makeEmptyFrame();
    frame->allocate(screen.width(), screen.height());
    BITMAPINFO info{};
    info.bmiHeader = frameBitmapHeader(screen.width(), screen.height());
    require(::GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(screen.height()),
                        frame->pixels.get(), &info, DIB_RGB_COLORS) != 0);
}

// Reading the pixels and nothing else.
void blitIntoSection(const ScreenSource& screen) {
    UniqueMemoryDC memory(::CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader = frameBitmapHeader(screen.width(), screen.height());
    void* bits = nullptr;
    UniqueBitmap section(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    require(memory && section && bits);
    ScopedSelectObject selection(memory.get(), section.get());
    require(::BitBlt(memory.get(), 0, 0, screen.width(), screen.height(), screen.dc.get(),
                     screen.rect.left, screen.rect.top, SRCCOPY));
    ::GdiFlush();
}

} // namespace

void benchScreenGrab(int runs) {
    const ScreenSource screen;
    require(screen.desktop && screen.dc);
    const std::vector<std::pair<std::wstring, std::function<void()>>> cases = {
        {L"grabFullScreen (DIB section taken over)", [] { grabFullScreen(); }},
        {L"compatible bitmap + GetDIBits (before)", [&] { grabThroughCompatibleBitmap(screen); }},
        {L"BitBlt into a DIB section alone (floor)", [&] { blitIntoSection(screen); }},
    };
    // Round after round, the first one a warm-up, as the other measurements.
    std::vector<std::vector<double>> times(cases.size());
    for (int round = 0; round <= runs; ++round) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const double start = nowMs();
            cases[i].second();
            if (round > 0)
                times[i].push_back(nowMs() - start);
        }
    }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::vector<double>& ms = times[i];
        std::sort(ms.begin(), ms.end());
        const double median =
            ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
        std::wprintf(L"GRAB\t%ls\t%dx%d\t%.2f\t%.2f\n", cases[i].first.c_str(), screen.width(),
                     screen.height(), ms.front(), median);
    }
    std::fflush(stdout);
}
