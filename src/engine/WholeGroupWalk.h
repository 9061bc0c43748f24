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
// before the groups are coded, `code` gets each group with its triple, and `flush` gets the
// blocks and the triples afterwards to write what changed.
template <typename Fill, typename Code, typename Flush>
void WalkWholeGroups(PassContext& ctx, int carrierNumber, std::int64_t firstPosition, Fill fill,
                     Code code, Flush flush) {
    using namespace carrier;
    JobState& s = ctx.job;
    GroupBlocks blocks(ctx.platform.Files(), carrierNumber, firstPosition, s.GroupCount);
    std::vector<std::uint8_t> triples(static_cast<std::size_t>(
        std::min<std::int64_t>(s.GroupCount, GroupBlocks::kGroupsPerBlock) * kTripleSize));
    ProgressCaption progress(s, ctx.window);
    s.GroupNo = 0;
    for (auto block = blocks.Next(); !block.empty(); block = blocks.Next()) {
        std::size_t groups = block.size() / kGroupSize;
        std::span<std::uint8_t> message(triples.data(), groups * kTripleSize);
        fill(message);
        for (std::size_t g = 0; g < groups; ++g) {
            ctx.platform.Yield();
            code(block.data() + g * kGroupSize, message.data() + g * kTripleSize);
            ++s.GroupNo;
            progress.GroupDone();
        }
        flush(blocks, message);
    }
}

}  // namespace velquist
