#pragma once

#include <string>

// What a failed upload, or a failed trial connection of the preferences, tells the user.
namespace UploadFailureText {

// Not a WinInet error code: the failure was not a WinInet exception.
constexpr unsigned long kNotAnInternetError = 0;

// The text for a failure with the given WinInet error code (or kNotAnInternetError) and the
// exception's own message, as shown (at most 254 characters). For the user's own server the text
// explains; for the built-in account it only points to the web site. server is the upload's
// normalised server.
std::wstring forFailure(unsigned long internetErrorCode, const std::wstring& message,
                        bool customTarget, const std::wstring& server);

// A server's reply without its leading lines of codes below 300 (greetings, "250 OK"), which say
// nothing about what went wrong.
std::wstring reducedReply(const std::wstring& reply);

} // namespace UploadFailureText
