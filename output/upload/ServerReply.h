#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What an FTP server's reply text says, as far as the upload needs to know.
namespace ServerReply {

// The three-digit code the reply begins with; 0 when it begins otherwise.
int code(const std::wstring& reply) noexcept;

// A refusal: a code of 400 or more (a transfer the server aborted, a command it refused).
bool isRefusal(const std::wstring& reply) noexcept;

// The size a SIZE command's reply ("213 <bytes>") gives; none for any other reply.
std::optional<std::uint64_t> fileSize(const std::wstring& reply) noexcept;

} // namespace ServerReply
