#include "support/Screenshot.h"

#include "capture/ScreenGrab.h"
#include "output/FrameWriting.h"
#include "platform/DiskFile.h"
#include "support/TestEnvironment.h"

bool saveWindowScreenshot(HWND window, const std::wstring& fileName) {
    RECT area{};
    if (!::GetWindowRect(window, &area))
        return false;
    FramePtr shot = grabRect(area);
    if (!shot || shot->width <= 0)
        return false;
    DiskFile file(TestEnvironment::artifactDir() + L"\\" + fileName,
                  DiskFile::Mode::CreateReadWrite);
    const bool written = writeFrameAs(0, shot.get(), &file, nullptr);
    file.close();
    return written;
}
