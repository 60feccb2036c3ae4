#pragma once

#include <windows.h>

#include <string>

// Writes a REG_SZ value (name null: the key's default value), its terminating zero included.
// Returns whether it was written.
bool writeRegistryString(HKEY key, const wchar_t* name, const std::wstring& value) noexcept;
