#pragma once

#include <cstddef>
#include <string>

// The names of uploaded files. A capture's file on the server carries, by default, a random
// suffix after its stem ("09_12_26_10_00_00_k3Qx9TzB2mWcL7pA.png"), so that nobody can guess the
// address of another's image from the time it was taken, and two users of one account never meet.
namespace RemoteName {

constexpr std::size_t kSuffixLength = 16;

// "_" and the random text before the extension.
std::wstring withSuffix(const std::wstring& fileName, const std::wstring& randomText);
// Whether the name carries such a suffix: "_" and kSuffixLength characters of [A-Za-z0-9] just
// before its extension.
bool hasRandomSuffix(const std::wstring& fileName);
// The same name with another random text in its suffix (the name must have one).
std::wstring withOtherSuffix(const std::wstring& fileName, const std::wstring& randomText);
// The name with "_2", "_3", ... after its stem, for a name that is taken; number 1 is the name.
std::wstring numbered(const std::wstring& fileName, int number);

} // namespace RemoteName
