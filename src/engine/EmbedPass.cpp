#include "engine/EmbedPass.h"

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
constexpr int kMessage = 2;

enum class Check { Accepted, Damaged, TooLarge };

// Opens both files and decides, before anything is written, whether the message fits.
Check OpenAndCheck(JobState& s, NumberedFiles& f, CarrierHeader& header) {
    f.OpenExisting(kCarrier, s.ImagePath);
    f.OpenReadOnly(kMessage, s.MsgPath);
    std::int64_t messageLength = f.Length(kMessage);
    header = ReadCarrierHeader(f, kCarrier);
    if (header.damaged()) return Check::Damaged;
    // The length field holds 24 bits: a longer message would silently be cut.
    if (messageLength > kMaxMessageLength ||
        !MessageFits(messageLength, header.fileLength, header.pixelOffset))
        return Check::TooLarge;
    s.MsgLen = static_cast<std::int32_t>(messageLength);
    s.OffBits = header.pixelOffset + 1;
    return Check::Accepted;
}

void WriteHeaderGroup(JobState& s, NumberedFiles& f) {
    f.GetBlock(kCarrier, s.OffBits - 8, s.SkipBuf);
    f.PutFixedText(kCarrier, NumberedFiles::kHere, s.MsgExt, kExtensionLength);
    f.PutU8(kCarrier, NumberedFiles::kHere, s.PwdLen);
    f.PutFixedText(kCarrier, NumberedFiles::kHere, s.Password.str(), kPasswordLength);
}

void EmbedWholeGroups(PassContext& ctx, std::int64_t firstPosition) {
    NumberedFiles& f = ctx.platform.Files();
    WalkWholeGroups(
        ctx, kCarrier, firstPosition,
        [&](std::span<std::uint8_t> triples) { f.GetBlock(kMessage, NumberedFiles::kHere, triples); },
        [](std::uint8_t* groups, const std::uint8_t* triples, std::size_t n) {
            GroupCodec::EmbedRun(groups, triples, n);
        },
        [](GroupBlocks& blocks, std::span<std::uint8_t>) { blocks.WriteBack(); });
}

void EmbedPartialGroup(JobState& s, NumberedFiles& f, std::int64_t position) {
    int left = s.MsgLen % 3;
    if (left == 0) return;
    f.GetBlock(kCarrier, position, s.PixBuf);
    f.GetBlock(kMessage, NumberedFiles::kHere, std::span(s.MsgBuf).first(left));
    GroupCodec::Embed(s.PixBuf.data(), s.MsgBuf.data(), left);
    f.PutBlock(kCarrier, position, s.PixBuf);
}

std::uint32_t MarkerFor(std::int32_t length, bool protectedHide) {
    return (static_cast<std::uint32_t>(length) & kLengthMask) |
           (protectedHide ? kMarkerProtected : kMarkerPlain);
}

}  // namespace

void EmbedMsg(PassContext& ctx) {
    JobState& s = ctx.job;
    NumberedFiles& f = ctx.platform.Files();
    try {
        s.MsgLen = 0;
        s.OffBits = 0;
        s.GroupNo = 0;
        CarrierHeader header;
        Check check = OpenAndCheck(s, f, header);
        if (check != Check::Accepted) {
            f.Close(kCarrier);
            f.Close(kMessage);
            if (check == Check::Damaged)
                ctx.platform.MsgBox(texts::kDamaged, kStyleError, texts::kDamagedTitle);
            else
                ctx.platform.MsgBox(texts::kTooLarge, kStyleError, texts::kTooLargeTitle);
            return;
        }
        std::uint32_t marker = MarkerFor(s.MsgLen, ctx.window.PasswordTicked());
        // An old claim must not outlive the header group and groups about to be overwritten.
        if (header.markerWord != 0) f.PutU32(kCarrier, kMarkerOffset + 1, 0);
        WriteHeaderGroup(s, f);
        std::int64_t next = f.LastPosition(kCarrier) + 1;
        ctx.window.SetStatusCaption(texts::kProgressStatus);
        s.GroupCount = s.MsgLen / 3;
        EmbedWholeGroups(ctx, next);
        EmbedPartialGroup(s, f, next + static_cast<std::int64_t>(s.GroupCount) * kGroupSize);
        f.PutU32(kCarrier, kMarkerOffset + 1, marker);
        f.Close(kCarrier);
        f.Close(kMessage);
    } catch (const FileError&) {
        ctx.platform.MsgBox(texts::kEmbedFailed, kStyleError);
        f.CloseAllQuietly();
        return;
    }
    ctx.window.SetStatusCaption(texts::kEmbedDone);
    ctx.platform.MsgBox(texts::kEmbedDone, kStyleInformation, texts::kEmbedDoneTitle);
    s.HiddenMark = 1;
}

}  // namespace velquist
