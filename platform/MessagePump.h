#pragma once

#include <windows.h>

#include <functional>

// Every message loop of the GUI thread (the main loop and each modal loop) takes messages through
// here, so thread messages posted without a window, such as capture requests, are handled even
// while a modal loop runs. The system's own loops (message boxes, the folder picker, menus) hand
// them over through a message filter hook.
namespace MessagePump {

using ThreadMessageHandler = std::function<void(const MSG&)>;

// Installs the handler for window-less messages of the calling thread (empty to remove it). It is
// guarded: an exception it raises ends with a beep, never in the loop.
void setThreadMessageHandler(ThreadMessageHandler handler);

// Waits for one message and dispatches it. The dialog, if any, gets its keyboard navigation.
// Returns false on WM_QUIT (the message is consumed; quitCode receives its exit code).
bool pumpOne(HWND dialog, int& quitCode);

// Runs until WM_QUIT; returns its exit code.
int runUntilQuit();

// A modal loop: pumps while active is set. On WM_QUIT it puts the quit back for the loop that owns
// it and returns false.
bool runWhile(const bool& active, HWND dialog);

} // namespace MessagePump
