// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "engine/png/PngShape.h"

namespace velquist::png {

// Every row unfiltered, or each with the one of the five filters that leaves the smallest sum of
// filtered bytes taken as distances from zero (ties to the lower filter), as libpng chooses.
enum class RowFilter { None, Adaptive };

// The image data as it goes into compression: each row of the picture (of an interlaced one,
// each row of every Adam7 pass that holds pixels, pass after pass) as its filter byte and its
// filtered bytes. `pixels` holds shape.rowBytes() x shape.height bytes.
std::vector<std::uint8_t> FilterRows(const PngShape& shape, const std::uint8_t* pixels, RowFilter filter);

}  // namespace velquist::png
