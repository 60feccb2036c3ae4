#include <windows.h>

// The tray program comes with the application object; until then the entry point only proves that
// the program builds and starts.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return 0;
}
