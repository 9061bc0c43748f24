#include "engine/ExtractPass.h"

#include "engine/CarrierFormat.h"
#include "engine/CarrierHeader.h"
#include "engine/EngineTexts.h"
#include "engine/GroupCodec.h"
#include "engine/JobState.h"
#include "engine/MainWindowPort.h"
#include "engine/WholeGroupWalk.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"

namespace velquist {

namespace {

using namespace carrier;

constexpr int kCarrier = 1;
constexpr int kOutput = 2;

void ExtractWholeGroups(PassContext& ctx, std::int64_t firstPosition) {
    NumberedFiles& f = ctx.platform.Files();
    WalkWholeGroups(
        ctx, kCarrier, firstPosition, [](std::span<std::uint8_t>) {},
        [](std::uint8_t* groups, std::uint8_t* triples, std::size_t n) {
            GroupCodec::ExtractRun(groups, triples, n);
        },
        [&](GroupBlocks&, std::span<std::uint8_t> triples) {
            f.PutBlock(kOutput, NumberedFiles::kHere, triples);
        });
}

void ExtractPartialGroup(JobState& s, NumberedFiles& f, std::int64_t position) {
    int left = s.MsgLen % 3;
    if (left == 0) return;
    f.GetBlock(kCarrier, position, s.PixBuf);
    GroupCodec::Extract(s.PixBuf.data(), s.MsgBuf.data(), left);
    f.PutBlock(kOutput, NumberedFiles::kHere, std::span<const std::uint8_t>(s.MsgBuf).first(left));
}

}  // namespace

PassResult ExtractMsg(PassContext& ctx) {
    JobState& s = ctx.job;
    NumberedFiles& f = ctx.platform.Files();
    try {
        CarrierHeader header = ReadCarrierHeader(f, kCarrier);
        // A stored length whose groups run past the end of the picture cannot be a message.
        if (header.damaged() || s.MsgLen < 0 ||
            !MessageFits(s.MsgLen, header.fileLength, header.pixelOffset)) {
            ctx.platform.MsgBox(texts::kDamaged, kStyleError, texts::kDamagedTitle);
            return PassResult::Failed;
        }
        s.OffBits = header.pixelOffset;
        f.GetBlock(kCarrier, s.OffBits + kPasswordOffset + 1, s.SkipBuf);
        ctx.window.SetStatusCaption(texts::kProgressStatus);
        s.GroupCount = s.MsgLen / 3;
        std::int64_t first = f.LastPosition(kCarrier) + 1;
        ExtractWholeGroups(ctx, first);
        ExtractPartialGroup(s, f, first + static_cast<std::int64_t>(s.GroupCount) * kGroupSize);
    } catch (const FileError&) {
        ctx.platform.MsgBox(texts::kExtractFailed, kStyleError);
        return PassResult::Failed;
    }
    return PassResult::Completed;
}

}  // namespace velquist
