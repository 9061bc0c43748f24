// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ExtractPass.h"

#include <array>

#include "engine/FileNumbers.h"
#include "engine/JobState.h"
#include "engine/PassProgress.h"
#include "engine/WholeGroupWalk.h"
#include "engine/codec/GroupCodec.h"
#include "engine/format/CarrierFormat.h"
#include "engine/format/BmpHeader.h"
#include "platform/FileService.h"

namespace velquist {

namespace {

using namespace carrier;
using file_numbers::kCarrier;
using file_numbers::kOutput;

void ExtractWholeGroups(PassContext& ctx, std::int64_t firstOffset, const PayloadSink& sink) {
    WalkWholeGroups(
        ctx, kCarrier, firstOffset, [](std::span<std::uint8_t>) {},
        [](std::uint8_t* groups, std::uint8_t* triples, std::size_t n) {
            GroupCodec::ExtractRun(groups, triples, n);
        },
        [&](GroupBlocks&, std::span<std::uint8_t> triples) { sink(triples); });
}

void ExtractPartialGroup(PassContext& ctx, std::int64_t offset, const PayloadSink& sink) {
    int left = ctx.job.MsgLen % 3;
    if (left == 0) return;
    std::array<std::uint8_t, kGroupSize> group;
    std::array<std::uint8_t, kTripleSize> triple;
    ctx.files.ReadAt(kCarrier, offset, group);
    GroupCodec::Extract(group.data(), triple.data(), left);
    sink(std::span<const std::uint8_t>(triple).first(left));
}

}  // namespace

Outcome ExtractMsg(PassContext& ctx, const PayloadSink& sink) {
    JobState& s = ctx.job;
    try {
        BmpHeader header = ReadBmpHeader(ctx.files, kCarrier);
        // A stored length whose groups run past the end of the picture cannot be a message.
        if (header.damaged() || s.MsgLen < 0 ||
            !MessageFits(s.MsgLen, header.fileLength, header.pixelOffset))
            return Outcome::Of(OutcomeKind::Damaged, s.ImagePath);
        s.OffBits = header.pixelOffset;
        ctx.progress.Status(PassStatus::Extracting);
        s.GroupCount = s.MsgLen / 3;
        std::int64_t first = static_cast<std::int64_t>(s.OffBits) + kHeaderGroupSize;
        ExtractWholeGroups(ctx, first, sink);
        ExtractPartialGroup(ctx, first + static_cast<std::int64_t>(s.GroupCount) * kGroupSize,
                            sink);
    } catch (const FileError& e) {
        if (e.number() == kOutput) return Outcome::Failure(OutcomeKind::OutputFailure, e, s.OutFile);
        return Outcome::Failure(OutcomeKind::CarrierFailure, e, s.ImagePath);
    }
    return Outcome::Of(OutcomeKind::Completed, s.OutFile);
}

}  // namespace velquist
