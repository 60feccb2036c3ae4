#pragma once

#include <windows.h>
#include <wininet.h>

// WinInet waits as long as these say for a connection, a send and a reply; without them a server
// that stops answering holds a transfer forever. Set on every handle, as a child handle does not
// always take its parent's. Failures are of no consequence: the caller watches its own progress.
inline void setInternetTimeouts(HINTERNET handle, DWORD timeoutMs) noexcept {
    if (!handle || timeoutMs == 0)
        return;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
        ::InternetSetOptionW(handle, option, &timeoutMs, sizeof timeoutMs);
}
