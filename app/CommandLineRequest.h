#pragma once

#include <string>

// What the command line asks of the program: nothing (run), or to register or unregister it.
// "/Register", "/Regserver", "/Unregister", "/Unregserver", in any case, with "/" or "-".
enum class CommandLineRequest { Run, Register, Unregister };

CommandLineRequest parseCommandLine(const std::wstring& commandLine);
