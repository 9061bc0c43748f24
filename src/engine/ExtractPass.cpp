// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ExtractPass.h"

#include "engine/CarrierFormat.h"
#include "engine/CarrierHeader.h"
#include "engine/EngineTexts.h"
#include "engine/FileNumbers.h"
#include "engine/GroupCodec.h"
#include "engine/JobState.h"
#include "engine/MainWindowPort.h"
#include "engine/WholeGroupWalk.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"

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

void ExtractPartialGroup(JobState& s, NumberedFiles& f, std::int64_t offset,
                         const PayloadSink& sink) {
    int left = s.MsgLen % 3;
    if (left == 0) return;
    f.ReadAt(kCarrier, offset, s.PixBuf);
    GroupCodec::Extract(s.PixBuf.data(), s.MsgBuf.data(), left);
    sink(std::span<const std::uint8_t>(s.MsgBuf).first(left));
}

}  // namespace

Outcome ExtractMsg(PassContext& ctx, const PayloadSink& sink) {
    JobState& s = ctx.job;
    NumberedFiles& f = ctx.platform.Files();
    try {
        CarrierHeader header = ReadCarrierHeader(f, kCarrier);
        // A stored length whose groups run past the end of the picture cannot be a message.
        if (header.damaged() || s.MsgLen < 0 ||
            !MessageFits(s.MsgLen, header.fileLength, header.pixelOffset))
            return Outcome::Of(OutcomeKind::Damaged, s.ImagePath);
        s.OffBits = header.pixelOffset;
        ctx.window.SetStatusCaption(texts::kProgressStatus);
        s.GroupCount = s.MsgLen / 3;
        std::int64_t first = static_cast<std::int64_t>(s.OffBits) + kHeaderGroupSize;
        ExtractWholeGroups(ctx, first, sink);
        ExtractPartialGroup(s, f, first + static_cast<std::int64_t>(s.GroupCount) * kGroupSize,
                            sink);
    } catch (const FileError& e) {
        if (e.number() == kOutput) return Outcome::Failure(OutcomeKind::OutputFailure, e, s.OutFile);
        return Outcome::Failure(OutcomeKind::CarrierFailure, e, s.ImagePath);
    }
    return Outcome::Of(OutcomeKind::Completed, s.OutFile);
}

}  // namespace velquist
