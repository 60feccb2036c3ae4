#include "app/CPixlanceApp.h"
#include "platform/AppException.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    try {
        CPixlanceApp app;
        int exitCode = 0;
        if (app.InitInstance(commandLine ? commandLine : L""))
            exitCode = app.run();
        app.ExitInstance();
        return exitCode;
    } catch (const AppException& error) {
        ::MessageBoxW(nullptr, error.shownMessage().c_str(), L"Pixlance", MB_OK | MB_ICONERROR);
    } catch (...) {
        // Nothing may unwind into the C runtime; memory may be short, so no text is built here.
        ::MessageBoxW(nullptr, L"Pixlance stopped after an unexpected error.", L"Pixlance",
                      MB_OK | MB_ICONERROR);
    }
    return 1;
}
