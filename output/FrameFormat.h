#pragma once

// The format code every output receives ("OutputFormat"): the one place it is mapped to an image
// kind and a file extension. 0 PNG, 1 JPEG, 2 and every other value BMP.
enum class ImageKind { Png, Jpeg, Bmp };

ImageKind imageKindFor(int formatCode) noexcept;
// ".png", ".jpg" or ".bmp".
const wchar_t* extensionFor(int formatCode) noexcept;
