#include "output/BitmapHeaders.h"

namespace BitmapHeaders {
namespace {

template <std::size_t N>
void put16(std::array<unsigned char, N>& bytes, std::size_t offset, std::uint16_t value) noexcept {
    bytes[offset] = static_cast<unsigned char>(value & 0xFF);
    bytes[offset + 1] = static_cast<unsigned char>(value >> 8);
}

template <std::size_t N>
void put32(std::array<unsigned char, N>& bytes, std::size_t offset, std::uint32_t value) noexcept {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
}

} // namespace

FileHeader fileHeader(std::uint32_t pixelDataSize) noexcept {
    FileHeader bytes{};
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, static_cast<std::uint32_t>(kHeadersSize + pixelDataSize));
    put32(bytes, 10, static_cast<std::uint32_t>(kHeadersSize));
    return bytes;
}

InfoHeader infoHeader(std::int32_t width, std::int32_t height) noexcept {
    InfoHeader bytes{};
    put32(bytes, 0, static_cast<std::uint32_t>(kInfoHeaderSize));
    put32(bytes, 4, static_cast<std::uint32_t>(width));
    put32(bytes, 8, static_cast<std::uint32_t>(height));
    put16(bytes, 12, 1);
    put16(bytes, 14, 24);
    return bytes;
}

} // namespace BitmapHeaders
