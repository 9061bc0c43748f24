// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "engine/PassContext.h"
#include "engine/format/Outcome.h"

namespace velquist {

// Takes the payload bytes the groups give up, in order.
using PayloadSink = std::function<void(std::span<const std::uint8_t>)>;

// Gathers the MsgLen payload bytes of the carrier open as file 1 and hands them to `sink`
// (which writes them to the output, or opens them first). Leaves the files open for the caller
// either way; a file error is told as a failure of the carrier or of the output.
Outcome ExtractMsg(PassContext& ctx, const PayloadSink& sink);

}  // namespace velquist
