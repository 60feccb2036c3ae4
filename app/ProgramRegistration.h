#pragma once

#include <string>

// Registration of the program for the current user: its "App Paths" entry
// (HKCU\Software\Microsoft\Windows\CurrentVersion\App Paths\Pixlance.exe, default value the full
// path of the executable, "Path" its folder), through which the shell finds it by name.
// Unregistering removes exactly that key.
namespace ProgramRegistration {

std::wstring keyPath();
bool registerProgram(const std::wstring& executablePath);
bool unregisterProgram();

} // namespace ProgramRegistration
