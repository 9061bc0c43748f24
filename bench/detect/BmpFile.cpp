// SPDX-License-Identifier: GPL-3.0-or-later
#include "BmpFile.h"

#include "FileBytes.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace velquist::detect {

namespace {

std::int64_t LittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
    return size == 4 ? static_cast<std::int32_t>(value) : static_cast<std::int16_t>(value);
}

}  // namespace

Picture ReadBmp(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    auto fail = [&](const char* why) { return std::runtime_error(path + ": " + why); };
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') throw fail("not a BMP picture");
    if (LittleEndian(bytes, 28, 2) != 24 || LittleEndian(bytes, 30, 4) != 0)
        throw fail("not an uncompressed 24-bit picture");
    const std::int64_t offset = LittleEndian(bytes, 10, 4);
    const std::int64_t width = LittleEndian(bytes, 18, 4);
    const std::int64_t height = std::llabs(LittleEndian(bytes, 22, 4));
    const std::int64_t stride = (3 * width + 3) / 4 * 4;
    if (width <= 0 || height <= 0 || offset < 54 ||
        offset + stride * height > static_cast<std::int64_t>(bytes.size()))
        throw fail("truncated pixel array");

    Picture picture{static_cast<int>(width), static_cast<int>(height), {}};
    picture.samples.reserve(static_cast<std::size_t>(3 * width * height));
    for (std::int64_t row = 0; row < height; ++row) {
        auto start = bytes.begin() + offset + row * stride;
        picture.samples.insert(picture.samples.end(), start, start + 3 * width);
    }
    return picture;
}

}  // namespace velquist::detect
