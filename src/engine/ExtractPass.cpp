// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ExtractPass.h"

#include <array>

#include "engine/FileNumbers.h"
#include "engine/PassProgress.h"
#include "engine/WholeGroupWalk.h"
#include "engine/codec/GroupCodec.h"
#include "engine/format/BmpHeader.h"
#include "engine/format/CarrierFormat.h"
#include "platform/FileService.h"

namespace velquist {

namespace {

using namespace carrier;
using file_numbers::kCarrier;

void ExtractPartialGroup(PassContext& ctx, std::int64_t offset, int left, const PayloadSink& sink) {
    if (left == 0) return;
    std::array<std::uint8_t, kGroupSize> group;
    std::array<std::uint8_t, kTripleSize> triple;
    ctx.files.ReadAt(kCarrier, offset, group);
    GroupCodec::Extract(group.data(), triple.data(), left);
    sink(std::span<const std::uint8_t>(triple).first(left));
}

}  // namespace

void ExtractMsg(PassContext& ctx, const BmpHeader& header, std::int64_t length,
                const PayloadSink& sink) {
    ctx.progress.Status(PassStatus::Extracting);
    const std::int64_t groups = length / kTripleSize;
    const std::int64_t first = std::int64_t{header.pixelOffset} + kHeaderGroupSize;
    WalkWholeGroups(
        ctx, kCarrier, first, groups, [](std::span<std::uint8_t>) {},
        [](std::uint8_t* groupBytes, std::uint8_t* triples, std::size_t n) {
            GroupCodec::ExtractRun(groupBytes, triples, n);
        },
        [&](GroupBlocks&, std::span<std::uint8_t> triples) { sink(triples); });
    ExtractPartialGroup(ctx, first + groups * kGroupSize, static_cast<int>(length % kTripleSize),
                        sink);
}

}  // namespace velquist
