#pragma once

#include <cstddef>
#include <string>

// The longest image file path the disk output writes: what fits a MAX_PATH buffer with its
// terminating zero.
constexpr std::size_t kMaxImagePathLength = 259;

// folder + a backslash unless the folder already ends in one (an empty folder gets one too, so the
// file lands in the root of the current drive) + the frame's name + the format code's extension.
std::wstring imageFilePath(const std::wstring& folder, const std::wstring& frameName,
                           int formatCode);
