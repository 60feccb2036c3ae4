#pragma once

#include <string>

// The per-user roaming application-data folder's "Pixlance" subfolder, with a trailing backslash;
// created if missing (every call: it is cheap and the folder may have been removed meanwhile).
std::wstring settingsFolder();
// The per-user local application-data folder's "Pixlance\Unsent" subfolder, with a trailing
// backslash, where a failed upload keeps its image; empty when the shell does not know that folder.
// Not created here: the FTP output creates it when it first keeps an image.
std::wstring unsentFolder();
// The user's Startup folder of the Start menu, with a trailing backslash.
std::wstring startupFolder();
