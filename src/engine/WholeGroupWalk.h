// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/CarrierFormat.h"
#include "engine/GroupBlocks.h"
#include "engine/JobState.h"
#include "engine/PassContext.h"
#include "engine/ProgressCaption.h"
#include "platform/Platform.h"

namespace velquist {

// The whole groups of a pass, block by block, with what every group costs the window: one
// yield and the progress caption. For each block, `fill` gets the block's message triples
// before the groups are coded, `code` gets the block's groups, its triples and the number of
// groups, and `flush` gets the blocks and the triples afterwards to write what changed. The
// block is coded in one call, so that the codec runs on many groups at once, and the window
// then gets its yield and caption for each of the block's groups, as if they were coded one
// by one: nothing leaves memory before `flush`.
template <typename Fill, typename Code, typename Flush>
void WalkWholeGroups(PassContext& ctx, int carrierNumber, std::int64_t firstOffset, Fill fill,
                     Code code, Flush flush) {
    using namespace carrier;
    JobState& s = ctx.job;
    GroupBlocks blocks(ctx.platform.Files(), carrierNumber, firstOffset, s.GroupCount);
    std::vector<std::uint8_t> triples(static_cast<std::size_t>(
        std::min<std::int64_t>(s.GroupCount, GroupBlocks::kGroupsPerBlock) * kTripleSize));
    ProgressCaption progress(s, ctx.window);
    s.GroupNo = 0;
    for (auto block = blocks.Next(); !block.empty(); block = blocks.Next()) {
        std::size_t groups = block.size() / kGroupSize;
        std::span<std::uint8_t> message(triples.data(), groups * kTripleSize);
        fill(message);
        code(block.data(), message.data(), groups);
        for (std::size_t g = 0; g < groups; ++g) {
            ctx.platform.Yield();
            ++s.GroupNo;
            progress.GroupDone();
        }
        flush(blocks, message);
    }
}

}  // namespace velquist
