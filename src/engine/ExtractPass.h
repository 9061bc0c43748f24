// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "engine/PassContext.h"

namespace velquist {

struct BmpHeader;

// Takes the payload bytes the groups give up, in order.
using PayloadSink = std::function<void(std::span<const std::uint8_t>)>;

// Gathers the `length` payload bytes the groups after the header group hold in the carrier open
// as file 1, whose header is `header` and whose groups that long lie in it, and hands them to
// `sink` (which writes them to the output, or opens them first). Leaves the files open for the
// caller either way. Throws FileError, naming the file that failed.
void ExtractMsg(PassContext& ctx, const BmpHeader& header, std::int64_t length,
                const PayloadSink& sink);

}  // namespace velquist
