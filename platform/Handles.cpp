// (winsock2.h must come before windows.h.)
#include <winsock2.h>

#include "platform/Handles.h"

void SocketTraits::close(UINT_PTR socket) noexcept {
    ::closesocket(static_cast<SOCKET>(socket));
}
