// (winsock2.h must come before windows.h.)
#include <winsock2.h>

#include "platform/SocketWait.h"

#include "platform/InternetException.h"

#include <wininet.h>

#include <algorithm>

namespace SocketWait {

void until(UINT_PTR socket, bool forWrite, const stSocketLimits& limits) {
    const ULONGLONG deadline = ::GetTickCount64() + limits.timeoutMs;
    for (;;) {
        if (limits.cancelled && limits.cancelled())
            throw InternetException(ERROR_INTERNET_OPERATION_CANCELLED);
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline)
            throw InternetException(ERROR_INTERNET_TIMEOUT);
        const long sliceMs = static_cast<long>(std::min<ULONGLONG>(deadline - now, kCancelCheckMs));
        fd_set ready;
        fd_set failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(static_cast<SOCKET>(socket), &ready);
        // A connect that fails shows here.
        FD_SET(static_cast<SOCKET>(socket), &failed);
        timeval slice{sliceMs / 1000, (sliceMs % 1000) * 1000};
        const int count =
            ::select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &failed, &slice);
        if (count == SOCKET_ERROR)
            throw InternetException(ERROR_INTERNET_CONNECTION_RESET);
        if (count > 0)
            return;
    }
}

} // namespace SocketWait
