#include "output/upload/FtpModeMemory.h"

#include "output/UploadFailureText.h"
#include "output/upload/ServerReply.h"

bool FtpModeMemory::passiveFirst(const std::wstring& host, std::uint16_t port) const {
    std::lock_guard<std::mutex> guard(lock_);
    const auto found = passive_.find({host, port});
    return found == passive_.end() || found->second;
}

void FtpModeMemory::remember(const std::wstring& host, std::uint16_t port, bool passive) {
    std::lock_guard<std::mutex> guard(lock_);
    passive_[{host, port}] = passive;
}

bool FtpModeMemory::isDataConnectionFailure(bool extendedError, const std::wstring& reply) {
    if (!extendedError)
        return true;
    // The positive replies before the one that refused say nothing.
    switch (ServerReply::code(UploadFailureText::reducedReply(reply))) {
    case 421:
    case 425:
    case 426:
    case 500:
    case 501:
    case 502:
    case 504:
        return true;
    default:
        return false;
    }
}
