#pragma once

#include <string>

// The shortcut to the running program in the user's Startup folder. COM must be initialised on
// the calling thread. Failures are not reported: the program runs the same without the shortcut.
namespace StartupShortcut {

constexpr const wchar_t* kFileName = L"Morvex.lnk";

// Creates or overwrites startupFolder + "Morvex.lnk" pointing at the running executable.
bool create(const std::wstring& startupFolder);
// Deletes it if it exists.
void remove(const std::wstring& startupFolder);

} // namespace StartupShortcut
