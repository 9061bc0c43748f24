// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "Picture.h"

namespace velquist::detect {

// Reads the pixel array of an uncompressed 24-bit BMP (row padding dropped); throws
// std::runtime_error naming the file when it is anything else.
Picture ReadBmp(const std::string& path);

}  // namespace velquist::detect
