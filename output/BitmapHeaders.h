#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The headers of the BMP files we write: a 14-byte file header and a 124-byte version-5 info
// header, followed directly by the frame's rows as they are (24 bits, bottom-up, each row padded
// to 4 bytes). No colour table. All integers little-endian.
namespace BitmapHeaders {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 124;
constexpr std::size_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;

using FileHeader = std::array<unsigned char, kFileHeaderSize>;
using InfoHeader = std::array<unsigned char, kInfoHeaderSize>;

// "BM", the file size (headers plus pixelDataSize), two reserved zeros, the pixel data offset.
FileHeader fileHeader(std::uint32_t pixelDataSize) noexcept;
// Size 124, width, positive height, 1 plane, 24 bits, no compression; every other field zero.
InfoHeader infoHeader(std::int32_t width, std::int32_t height) noexcept;

} // namespace BitmapHeaders
