// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileBytes.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace velquist::detect {

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot be read");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace velquist::detect
