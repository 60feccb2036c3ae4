#pragma once

#include <string>

// Hands the public address of an upload to the user: the browser, the clipboard. Callable from any
// thread.
namespace AddressHandoff {

// The shell's default action for the address (normally the default browser).
void openInBrowser(const std::wstring& address);
// The address as Unicode text, replacing what the clipboard held. False when the clipboard could
// not be had.
bool copyToClipboard(const std::wstring& address);

} // namespace AddressHandoff
