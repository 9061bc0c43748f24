// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/EmbedPass.h"

#include <array>
#include <cerrno>
#include <exception>
#include <functional>

#include "engine/BesideEventLoop.h"
#include "engine/FileNumbers.h"
#include "engine/JobState.h"
#include "engine/PassProgress.h"
#include "engine/WholeGroupWalk.h"
#include "engine/codec/GroupCodec.h"
#include "engine/crypto/PayloadError.h"
#include "engine/crypto/PayloadSealer.h"
#include "engine/format/CarrierCheck.h"
#include "engine/format/CarrierFormat.h"
#include "engine/format/CarrierHeader.h"
#include "engine/format/FixedText.h"
#include "engine/format/Format2.h"
#include "engine/format/PasswordRule.h"
#include "platform/FileService.h"
#include "platform/SequentialReader.h"

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
OutcomeKind OpenAndCheck(JobState& s, FileService& f, bool encrypted, std::int64_t& length) {
    f.OpenExisting(kCarrier, s.ImagePath);
    f.Lock(kCarrier, FileService::LockKind::Exclusive);
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

// Version 1 keeps the password in the header group (the filler when unprotected, cut to the
// field's 8 bytes); version 2 keeps none there.
HeaderGroup HeaderGroupFor(const JobState& s, const HideOptions& options) {
    HeaderGroup group;
    group.fill(' ');
    std::string extension = s.MsgExt.substr(0, kExtensionLength);
    std::copy(extension.begin(), extension.end(), group.begin() + kExtensionOffset);
    group[kPasswordLengthOffset] = 0;
    if (options.encrypted()) return group;
    bool protectedHide = options.protection == Protection::Password;
    std::string password = protectedHide
                               ? options.password.substr(0, password_rule::kVersion1Longest)
                               : std::string();
    FixedText<kPasswordLength> field;
    field = protectedHide ? password : std::string(kPasswordFiller);
    const std::string& bytes = field.str();
    std::copy(bytes.begin(), bytes.end(), group.begin() + kPasswordOffset);
    group[kPasswordLengthOffset] = static_cast<std::uint8_t>(password.size());
    return group;
}

// A failed hide must leave neither a marker word that claims the groups nor a password in
// clear in the header group.
void Retract(const JobState& s, FileService& f, bool markerWritten) noexcept {
    std::array<std::uint8_t, 1 + kPasswordLength> blank;
    blank.fill(' ');
    blank[0] = 0;
    try {
        if (markerWritten) f.WriteAt(kCarrier, kMarkerOffset, LittleEndian32(0));
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
    WalkWholeGroups(
        ctx, kCarrier, firstOffset, fill,
        [](std::uint8_t* groups, const std::uint8_t* triples, std::size_t n) {
            GroupCodec::EmbedRun(groups, triples, n);
        },
        [](GroupBlocks& blocks, std::span<std::uint8_t>) { blocks.WriteBack(); });
    int left = s.MsgLen % 3;
    if (left == 0) return;
    std::array<std::uint8_t, kGroupSize> group;
    std::array<std::uint8_t, kTripleSize> triple{};
    std::int64_t offset = firstOffset + static_cast<std::int64_t>(s.GroupCount) * kGroupSize;
    ctx.files.ReadAt(kCarrier, offset, group);
    fill(std::span(triple).first(left));
    GroupCodec::Embed(group.data(), triple.data(), left);
    ctx.files.WriteAt(kCarrier, offset, group);
}

// Writes the groups, then the marker word between two flushes: the disk must hold every
// group before it holds a marker that claims them.
void WritePayload(PassContext& ctx, std::uint32_t marker, const PayloadSource& fill,
                  bool& markerWritten) {
    JobState& s = ctx.job;
    ctx.progress.Status(PassStatus::Embedding);
    s.GroupCount = s.MsgLen / 3;
    EmbedGroups(ctx, static_cast<std::int64_t>(s.OffBits) + kHeaderGroupSize, fill);
    ctx.files.Flush(kCarrier);
    markerWritten = true;
    ctx.files.WriteAt(kCarrier, kMarkerOffset, LittleEndian32(marker));
    ctx.files.Flush(kCarrier);
}

std::uint32_t MarkerFor(std::int64_t length, std::uint32_t kind) {
    return (static_cast<std::uint32_t>(length) & kLengthMask) | kind;
}

void HideSealed(PassContext& ctx, const HideOptions& options, const HeaderGroup& group,
                std::int64_t length, bool& markerWritten) {
    JobState& s = ctx.job;
    SequentialReader message(ctx.files, kMessage);
    PayloadSealer sealer(KeysOf(ctx), options.password, group, length,
                         [&message](std::span<std::uint8_t> bytes) { message.Read(bytes); });
    RunBesideEventLoop(ctx.pump, [&sealer] { sealer.DeriveKey(); });
    s.MsgLen = static_cast<std::int32_t>(sealer.PayloadLength());
    WritePayload(ctx, MarkerFor(s.MsgLen, format2::kMarkerEncrypted),
                 [&sealer](std::span<std::uint8_t> bytes) { sealer.Fill(bytes); }, markerWritten);
}

void HidePlain(PassContext& ctx, const HideOptions& options, std::int64_t length,
               bool& markerWritten) {
    ctx.job.MsgLen = static_cast<std::int32_t>(length);
    std::uint32_t kind =
        options.protection == Protection::Password ? kMarkerProtected : kMarkerPlain;
    SequentialReader message(ctx.files, kMessage);
    WritePayload(ctx, MarkerFor(length, kind),
                 [&message](std::span<std::uint8_t> bytes) { message.Read(bytes); },
                 markerWritten);
}

}  // namespace

Outcome EmbedMsg(PassContext& ctx, const HideOptions& options) {
    JobState& s = ctx.job;
    FileService& f = ctx.files;
    s.MsgLen = 0;
    s.OffBits = 0;
    s.GroupNo = 0;
    bool encrypted = options.encrypted();
    bool headerWritten = false;
    bool markerWritten = false;
    Outcome failure;
    try {
        std::int64_t length = 0;
        if (OutcomeKind check = OpenAndCheck(s, f, encrypted, length);
            check != OutcomeKind::Completed) {
            f.CloseAllQuietly();
            return Outcome::Of(check, check == OutcomeKind::TooLarge ? s.MsgPath : s.ImagePath);
        }
        HeaderGroup group = HeaderGroupFor(s, options);
        f.WriteAt(kCarrier, s.OffBits, group);
        headerWritten = true;
        if (encrypted)
            HideSealed(ctx, options, group, length, markerWritten);
        else
            HidePlain(ctx, options, length, markerWritten);
    } catch (const FileError& e) {
        failure = HideFailure(s, e);
    } catch (const PayloadError&) {
        // Only the key derivation can fail here: it found no memory to run in.
        failure = Outcome::Of(OutcomeKind::NoMemory, s.ImagePath);
    } catch (const std::exception&) {
        failure = Outcome{OutcomeKind::CarrierFailure, s.ImagePath, FileCause::Other, 0};
    }
    if (!failure.completed()) {
        if (headerWritten) Retract(s, f, markerWritten);
        f.CloseAllQuietly();
        return failure;
    }
    // Everything is on the disk: a failing close can no longer lose anything.
    f.CloseAllQuietly();
    ctx.progress.Status(PassStatus::Embedded);
    s.HiddenMark = 1;
    return Outcome::Of(OutcomeKind::Completed, s.ImagePath);
}

}  // namespace velquist
