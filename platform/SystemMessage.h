#pragma once

#include <windows.h>

#include <string>

// The system's text for an error code, without trailing line breaks; empty when there is none.
// A module names a message table of its own (wininet.dll for WinInet codes).
std::wstring systemMessageText(DWORD code, HMODULE module = nullptr);
