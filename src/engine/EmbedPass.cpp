// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/EmbedPass.h"

#include <array>
#include <cerrno>
#include <memory>

#include "engine/BesideEventLoop.h"
#include "engine/CarrierCheck.h"
#include "engine/CarrierFormat.h"
#include "engine/CarrierHeader.h"
#include "engine/EngineTexts.h"
#include "engine/FileNumbers.h"
#include "engine/Format2.h"
#include "engine/GroupCodec.h"
#include "engine/JobState.h"
#include "engine/MainWindowPort.h"
#include "engine/PayloadError.h"
#include "engine/PayloadSealer.h"
#include "engine/WholeGroupWalk.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"

namespace velquist {

namespace {

using namespace carrier;
using file_numbers::kCarrier;
using file_numbers::kMessage;
using HeaderGroup = std::array<std::uint8_t, kHeaderGroupSize>;

// Which file a failed operation concerned, as the hide reports it.
Outcome HideFailure(const JobState& s, const FileError& e) {
    if (e.number() == kMessage) return Outcome::Failure(OutcomeKind::MessageFailure, e, s.MsgPath);
    return CarrierFileFailure(e, s.ImagePath);
}

bool MessageFitsFormat(std::int64_t length, const CarrierHeader& header, bool encrypted) {
    if (encrypted) return format2::MessageFits(length, header.largestNewHide());
    // The length field holds 24 bits: a longer message would silently be cut.
    return length <= kMaxMessageLength && header.fitsNewHide(length);
}

// Opens and locks the carrier, opens the message, and decides under the lock, before
// anything is written, whether the hide may go on.
OutcomeKind OpenAndCheck(JobState& s, NumberedFiles& f, bool encrypted, std::int64_t& length) {
    f.OpenExisting(kCarrier, s.ImagePath);
    f.Lock(kCarrier, NumberedFiles::LockKind::Exclusive);
    f.OpenReadOnly(kMessage, s.MsgPath);
    length = f.Length(kMessage);
    CarrierHeader header = ReadCarrierHeader(f, kCarrier);
    if (OutcomeKind verdict = CarrierVerdict(header); verdict != OutcomeKind::Completed)
        return verdict;
    // Another program may have hidden something since the picture was chosen.
    if (header.holdsData()) return OutcomeKind::HoldsData;
    if (!MessageFitsFormat(length, header, encrypted)) return OutcomeKind::TooLarge;
    s.OffBits = header.pixelOffset;
    return OutcomeKind::Completed;
}

// Version 1 keeps the password in the header group; version 2 keeps none there.
HeaderGroup HeaderGroupFor(const JobState& s, bool encrypted) {
    HeaderGroup group;
    group.fill(' ');
    std::string extension = s.MsgExt.substr(0, kExtensionLength);
    std::copy(extension.begin(), extension.end(), group.begin() + kExtensionOffset);
    group[kPasswordLengthOffset] = encrypted ? 0 : s.PwdLen;
    if (!encrypted) {
        const std::string& password = s.Password.str();
        std::copy(password.begin(), password.end(), group.begin() + kPasswordOffset);
    }
    return group;
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

// Where the bytes spread over the groups come from: the message file itself (version 1), or
// the sealed stream of it (version 2).
using PayloadSource = std::function<void(std::span<std::uint8_t>)>;

void EmbedGroups(PassContext& ctx, std::int64_t firstOffset, const PayloadSource& fill) {
    JobState& s = ctx.job;
    NumberedFiles& f = ctx.platform.Files();
    WalkWholeGroups(
        ctx, kCarrier, firstOffset, fill,
        [](std::uint8_t* groups, const std::uint8_t* triples, std::size_t n) {
            GroupCodec::EmbedRun(groups, triples, n);
        },
        [](GroupBlocks& blocks, std::span<std::uint8_t>) { blocks.WriteBack(); });
    int left = s.MsgLen % 3;
    if (left == 0) return;
    std::int64_t offset = firstOffset + static_cast<std::int64_t>(s.GroupCount) * kGroupSize;
    f.ReadAt(kCarrier, offset, s.PixBuf);
    fill(std::span(s.MsgBuf).first(left));
    GroupCodec::Embed(s.PixBuf.data(), s.MsgBuf.data(), left);
    f.WriteAt(kCarrier, offset, s.PixBuf);
}

// Writes the groups, then the marker word between two flushes: the disk must hold every
// group before it holds a marker that claims them.
void WritePayload(PassContext& ctx, std::uint32_t marker, const PayloadSource& fill,
                  bool& markerWritten) {
    JobState& s = ctx.job;
    NumberedFiles& f = ctx.platform.Files();
    ctx.window.SetStatusCaption(texts::kProgressStatus);
    s.GroupCount = s.MsgLen / 3;
    EmbedGroups(ctx, static_cast<std::int64_t>(s.OffBits) + kHeaderGroupSize, fill);
    f.Flush(kCarrier);
    markerWritten = true;
    f.PutU32(kCarrier, kMarkerOffset + 1, marker);
    f.Flush(kCarrier);
}

std::uint32_t MarkerFor(std::int64_t length, std::uint32_t kind) {
    return (static_cast<std::uint32_t>(length) & kLengthMask) | kind;
}

PayloadSource ReadMessage(NumberedFiles& f) {
    return [&f](std::span<std::uint8_t> bytes) { f.GetBlock(kMessage, NumberedFiles::kHere, bytes); };
}

void HideSealed(PassContext& ctx, const HeaderGroup& group, std::int64_t length,
                bool& markerWritten) {
    JobState& s = ctx.job;
    PayloadSealer sealer(KeysOf(ctx), s.Password.str().substr(0, s.PwdLen), group, length,
                         ReadMessage(ctx.platform.Files()));
    RunBesideEventLoop(ctx.platform, [&sealer] { sealer.DeriveKey(); });
    s.MsgLen = static_cast<std::int32_t>(sealer.PayloadLength());
    WritePayload(ctx, MarkerFor(s.MsgLen, format2::kMarkerEncrypted),
                 [&sealer](std::span<std::uint8_t> bytes) { sealer.Fill(bytes); }, markerWritten);
}

void HidePlain(PassContext& ctx, std::int64_t length, bool& markerWritten) {
    JobState& s = ctx.job;
    s.MsgLen = static_cast<std::int32_t>(length);
    std::uint32_t kind = ctx.window.PasswordTicked() ? kMarkerProtected : kMarkerPlain;
    WritePayload(ctx, MarkerFor(length, kind), ReadMessage(ctx.platform.Files()), markerWritten);
}

}  // namespace

Outcome EmbedMsg(PassContext& ctx) {
    JobState& s = ctx.job;
    NumberedFiles& f = ctx.platform.Files();
    s.MsgLen = 0;
    s.OffBits = 0;
    s.GroupNo = 0;
    // Version 2 only ever carries a protected message.
    bool encrypted = ctx.window.PasswordTicked() && ctx.window.EncryptTicked();
    bool headerWritten = false;
    bool markerWritten = false;
    try {
        std::int64_t length = 0;
        if (OutcomeKind check = OpenAndCheck(s, f, encrypted, length);
            check != OutcomeKind::Completed) {
            f.CloseAllQuietly();
            return Outcome::Of(check, check == OutcomeKind::TooLarge ? s.MsgPath : s.ImagePath);
        }
        HeaderGroup group = HeaderGroupFor(s, encrypted);
        f.WriteAt(kCarrier, s.OffBits, group);
        headerWritten = true;
        if (encrypted)
            HideSealed(ctx, group, length, markerWritten);
        else
            HidePlain(ctx, length, markerWritten);
    } catch (const FileError& e) {
        if (headerWritten) Retract(s, f, markerWritten);
        f.CloseAllQuietly();
        return HideFailure(s, e);
    } catch (const PayloadError& e) {
        // Only the key derivation can fail here: it found no memory to run in.
        if (headerWritten) Retract(s, f, markerWritten);
        f.CloseAllQuietly();
        return Outcome{OutcomeKind::CarrierFailure, s.ImagePath, FileCause::Other, ENOMEM};
    }
    // Everything is on the disk: a failing close can no longer lose anything.
    f.CloseAllQuietly();
    ctx.window.SetStatusCaption(texts::kEmbedDone);
    s.HiddenMark = 1;
    return Outcome::Of(OutcomeKind::Completed, s.ImagePath);
}

}  // namespace velquist
