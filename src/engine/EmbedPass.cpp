#include "engine/EmbedPass.h"

#include <array>

#include "engine/CarrierCheck.h"
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
using file_numbers::kMessage;

// Which file a failed operation concerned, as the hide reports it.
Outcome HideFailure(const JobState& s, const FileError& e) {
    if (e.cause() == FileCause::Busy) return Outcome::Of(OutcomeKind::Busy, s.ImagePath);
    if (e.number() == kMessage) return Outcome::Failure(OutcomeKind::MessageFailure, e, s.MsgPath);
    return Outcome::Failure(OutcomeKind::CarrierFailure, e, s.ImagePath);
}

// Opens and locks the carrier, opens the message, and decides under the lock, before
// anything is written, whether the hide may go on.
OutcomeKind OpenAndCheck(JobState& s, NumberedFiles& f, CarrierHeader& header) {
    f.OpenExisting(kCarrier, s.ImagePath);
    f.Lock(kCarrier, NumberedFiles::LockKind::Exclusive);
    f.OpenReadOnly(kMessage, s.MsgPath);
    std::int64_t messageLength = f.Length(kMessage);
    header = ReadCarrierHeader(f, kCarrier);
    if (OutcomeKind verdict = CarrierVerdict(header); verdict != OutcomeKind::Completed)
        return verdict;
    // Another program may have hidden something since the picture was chosen.
    if (header.holdsData()) return OutcomeKind::HoldsData;
    // The length field holds 24 bits: a longer message would silently be cut.
    if (messageLength > kMaxMessageLength ||
        !header.fitsNewHide(messageLength))
        return OutcomeKind::TooLarge;
    s.MsgLen = static_cast<std::int32_t>(messageLength);
    s.OffBits = header.pixelOffset;
    return OutcomeKind::Completed;
}

void WriteHeaderGroup(const JobState& s, NumberedFiles& f) {
    std::array<std::uint8_t, kHeaderGroupSize> group;
    std::string extension = s.MsgExt.substr(0, kExtensionLength);
    extension.resize(kExtensionLength, ' ');
    std::copy(extension.begin(), extension.end(), group.begin() + kExtensionOffset);
    group[kPasswordLengthOffset] = s.PwdLen;
    const std::string& password = s.Password.str();
    std::copy(password.begin(), password.end(), group.begin() + kPasswordOffset);
    f.WriteAt(kCarrier, s.OffBits, group);
}

// A failed hide must leave neither a marker word that claims the groups nor a password in
// clear in the header group.
void Retract(const JobState& s, NumberedFiles& f, bool markerWritten) noexcept {
    std::array<std::uint8_t, 1 + kPasswordLength> blank;
    blank.fill(' ');
    blank[0] = 0;
    try {
        if (markerWritten) f.PutU32(kCarrier, kMarkerOffset + 1, 0);
        f.WriteAt(kCarrier, s.OffBits + kPasswordLengthOffset, blank);
        f.Flush(kCarrier);
    } catch (const FileError&) {
        // Already failing; the carrier may be unwritable altogether.
    }
}

void EmbedWholeGroups(PassContext& ctx, std::int64_t firstOffset) {
    NumberedFiles& f = ctx.platform.Files();
    WalkWholeGroups(
        ctx, kCarrier, firstOffset,
        [&](std::span<std::uint8_t> triples) { f.GetBlock(kMessage, NumberedFiles::kHere, triples); },
        [](std::uint8_t* groups, const std::uint8_t* triples, std::size_t n) {
            GroupCodec::EmbedRun(groups, triples, n);
        },
        [](GroupBlocks& blocks, std::span<std::uint8_t>) { blocks.WriteBack(); });
}

void EmbedPartialGroup(JobState& s, NumberedFiles& f, std::int64_t offset) {
    int left = s.MsgLen % 3;
    if (left == 0) return;
    f.ReadAt(kCarrier, offset, s.PixBuf);
    f.GetBlock(kMessage, NumberedFiles::kHere, std::span(s.MsgBuf).first(left));
    GroupCodec::Embed(s.PixBuf.data(), s.MsgBuf.data(), left);
    f.WriteAt(kCarrier, offset, s.PixBuf);
}

std::uint32_t MarkerFor(std::int32_t length, bool protectedHide) {
    return (static_cast<std::uint32_t>(length) & kLengthMask) |
           (protectedHide ? kMarkerProtected : kMarkerPlain);
}

// Writes the groups, then the marker word between two flushes: the disk must hold every
// group before it holds a marker that claims them.
void WritePayload(PassContext& ctx, bool& markerWritten) {
    JobState& s = ctx.job;
    NumberedFiles& f = ctx.platform.Files();
    ctx.window.SetStatusCaption(texts::kProgressStatus);
    s.GroupCount = s.MsgLen / 3;
    std::int64_t first = static_cast<std::int64_t>(s.OffBits) + kHeaderGroupSize;
    EmbedWholeGroups(ctx, first);
    EmbedPartialGroup(s, f, first + static_cast<std::int64_t>(s.GroupCount) * kGroupSize);
    f.Flush(kCarrier);
    markerWritten = true;
    f.PutU32(kCarrier, kMarkerOffset + 1, MarkerFor(s.MsgLen, ctx.window.PasswordTicked()));
    f.Flush(kCarrier);
}

}  // namespace

Outcome EmbedMsg(PassContext& ctx) {
    JobState& s = ctx.job;
    NumberedFiles& f = ctx.platform.Files();
    s.MsgLen = 0;
    s.OffBits = 0;
    s.GroupNo = 0;
    bool headerWritten = false;
    bool markerWritten = false;
    try {
        CarrierHeader header;
        if (OutcomeKind check = OpenAndCheck(s, f, header); check != OutcomeKind::Completed) {
            f.CloseAllQuietly();
            return Outcome::Of(check, check == OutcomeKind::TooLarge ? s.MsgPath : s.ImagePath);
        }
        WriteHeaderGroup(s, f);
        headerWritten = true;
        WritePayload(ctx, markerWritten);
    } catch (const FileError& e) {
        if (headerWritten) Retract(s, f, markerWritten);
        f.CloseAllQuietly();
        return HideFailure(s, e);
    }
    // Everything is on the disk: a failing close can no longer lose anything.
    f.CloseAllQuietly();
    ctx.window.SetStatusCaption(texts::kEmbedDone);
    s.HiddenMark = 1;
    return Outcome::Of(OutcomeKind::Completed, s.ImagePath);
}

}  // namespace velquist
