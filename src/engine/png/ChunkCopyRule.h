// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/png/PngLayout.h"

namespace velquist::png {

// Whether a rewrite with new image data keeps `chunk` (other than IDAT) as it was. The chunks
// of the PNG standard keep their meaning whatever the compressed bytes, and so does an unknown
// chunk marked safe to copy (the fourth type letter in lower case); an unknown one not so
// marked may hang on the old image data (offsets into it, say), so it is dropped.
bool KeptOnRewrite(const PngChunk& chunk);

}  // namespace velquist::png
