#pragma once

#include <string>

// The per-user roaming application-data folder's "Pixlance" subfolder, with a trailing backslash;
// created if missing (every call: it is cheap and the folder may have been removed meanwhile).
std::wstring settingsFolder();
// The user's Startup folder of the Start menu, with a trailing backslash.
std::wstring startupFolder();
