// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velquist::detect {

// The whole file; throws std::runtime_error naming it when it cannot be read.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

}  // namespace velquist::detect
