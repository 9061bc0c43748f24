// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/GroupBlocks.h"
#include "engine/PassContext.h"
#include "engine/ProgressPercent.h"
#include "engine/format/CarrierFormat.h"
#include "platform/EventPump.h"

namespace velquist {

// The `groupCount` whole groups of a pass from `firstOffset`, block by block. For each block,
// `fill` gets the block's message triples before the groups are coded, `code` gets the block's
// groups, its triples and the number of groups, and `flush` gets the blocks and the triples
// afterwards to write what changed. The block is coded in one call, so that the codec runs on
// many groups at once. With an event pump every group then gets its yield and its percentage,
// as if the groups were coded one by one (nothing leaves memory before `flush`); without one
// the percentage moves once per block.
template <typename Fill, typename Code, typename Flush>
void WalkWholeGroups(PassContext& ctx, int carrierNumber, std::int64_t firstOffset,
                     std::int64_t groupCount, Fill fill, Code code, Flush flush) {
    using namespace carrier;
    GroupBlocks blocks(ctx.files, carrierNumber, firstOffset, groupCount);
    std::vector<std::uint8_t> triples(static_cast<std::size_t>(
        std::min<std::int64_t>(groupCount, GroupBlocks::kGroupsPerBlock) * kTripleSize));
    ProgressPercent progress(groupCount, ctx.progress);
    std::int64_t done = 0;
    for (auto block = blocks.Next(); !block.empty(); block = blocks.Next()) {
        std::size_t groups = block.size() / kGroupSize;
        std::span<std::uint8_t> message(triples.data(), groups * kTripleSize);
        fill(message);
        code(block.data(), message.data(), groups);
        if (ctx.pump) {
            for (std::size_t g = 0; g < groups; ++g) {
                ctx.pump->Yield();
                progress.GroupsDone(++done);
            }
        } else {
            done += static_cast<std::int64_t>(groups);
            progress.GroupsDone(done);
        }
        flush(blocks, message);
    }
}

}  // namespace velquist
