// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/HideJob.h"

#include <array>
#include <exception>
#include <functional>
#include <new>

#include "engine/BesideEventLoop.h"
#include "engine/CarrierCheck.h"
#include "engine/FailureOutcome.h"
#include "engine/FileNumbers.h"
#include "engine/PassProgress.h"
#include "engine/StealthPicture.h"
#include "engine/StealthSteps.h"
#include "engine/WholeGroupWalk.h"
#include "engine/codec/GroupCodec.h"
#include "engine/crypto/PayloadError.h"
#include "engine/crypto/PayloadSealer.h"
#include "engine/format/CarrierFormat.h"
#include "engine/format/FixedText.h"
#include "engine/format/Format2.h"
#include "engine/format/PasswordRule.h"
#include "engine/stealth/MessageSealer.h"
#include "engine/stealth/StealthCapacity.h"
#include "platform/FileService.h"
#include "platform/FolderPath.h"
#include "platform/SequentialReader.h"

namespace velquist {

namespace {

using namespace carrier;
using file_numbers::kCarrier;
using file_numbers::kMessage;
using HeaderGroup = std::array<std::uint8_t, kHeaderGroupSize>;
// The password length byte and the 8 password bytes that follow it.
using PasswordField = std::array<std::uint8_t, 1 + kPasswordLength>;
// Where the bytes spread over the groups come from: the message file itself (version 1), or
// the sealed stream of it (version 2).
using PayloadSource = std::function<void(std::span<std::uint8_t>)>;

// Which file a failed operation concerned, and in which hide, as the hide reports it.
Outcome HideFailure(const HideRequest& r, const FileError& e, bool stealth) {
    if (e.number() == kMessage) return Outcome::Failure(OutcomeKind::MessageFailure, e, r.message);
    // A name that leads nowhere or to another file by now: the picture is gone or replaced.
    const bool moved = e.cause() == FileCause::NotFound || e.cause() == FileCause::Replaced;
    if (stealth && !moved) return Outcome::Failure(OutcomeKind::StealthFailure, e, r.picture.path);
    return CarrierFileFailure(e, r.picture.path);
}

bool MessageFitsFormat(std::int64_t length, const BmpHeader& header, bool encrypted) {
    if (encrypted) return format2::MessageFits(length, header.largestNewHide());
    // The length field holds 24 bits: a longer message would silently be cut.
    return length <= kMaxMessageLength && header.fitsNewHide(length);
}

// No password yet: the field is blank (an unprotected version 1 keeps the filler there).
HeaderGroup HeaderGroupFor(const HideRequest& r, const HideOptions& options) {
    HeaderGroup group;
    group.fill(' ');
    std::string extension = r.extension.substr(0, kExtensionLength);
    std::copy(extension.begin(), extension.end(), group.begin() + kExtensionOffset);
    group[kPasswordLengthOffset] = 0;
    if (options.protection == Protection::None) {
        FixedText<kPasswordLength> filler;
        filler = kPasswordFiller;
        const std::string& bytes = filler.str();
        std::copy(bytes.begin(), bytes.end(), group.begin() + kPasswordOffset);
    }
    return group;
}

PasswordField BlankPassword() {
    PasswordField field;
    field.fill(' ');
    field[0] = 0;
    return field;
}

// Version 1 keeps the first 8 bytes of the password, left-aligned and padded with spaces.
PasswordField PasswordFieldOf(const SecretBytes& password) {
    PasswordField field = BlankPassword();
    std::size_t length = std::min(password.size(), password_rule::kVersion1Longest);
    std::copy_n(password.data(), length, field.begin() + 1);
    field[0] = static_cast<std::uint8_t>(length);
    return field;
}

std::uint32_t MarkerFor(std::int64_t length, std::uint32_t kind) {
    return (static_cast<std::uint32_t>(length) & kLengthMask) | kind;
}

// Codes `length` payload bytes into the groups from `firstOffset`.
void EmbedGroups(PassContext& ctx, std::int64_t firstOffset, std::int64_t length,
                 const PayloadSource& fill) {
    const std::int64_t groups = length / kTripleSize;
    WalkWholeGroups(
        ctx, kCarrier, firstOffset, groups, fill,
        [](std::uint8_t* groups, const std::uint8_t* triples, std::size_t n) {
            GroupCodec::EmbedRun(groups, triples, n);
        },
        [](GroupBlocks& blocks, std::span<std::uint8_t>) { blocks.WriteBack(); });
    const int left = static_cast<int>(length % kTripleSize);
    if (left == 0) return;
    std::array<std::uint8_t, kGroupSize> group;
    std::array<std::uint8_t, kTripleSize> triple{};
    std::int64_t offset = firstOffset + groups * kGroupSize;
    ctx.files.ReadAt(kCarrier, offset, group);
    fill(std::span(triple).first(left));
    GroupCodec::Embed(group.data(), triple.data(), left);
    ctx.files.WriteAt(kCarrier, offset, group);
}

}  // namespace

HideJob::HideJob(PassContext& ctx, HideRequest request) : ctx_(ctx), request_(std::move(request)) {}

HideJob::~HideJob() { Close(); }

Outcome HideJob::Open() {
    const std::string& path = request_.picture.path;
    Outcome opened = OpenLockedCarrier(ctx_.files, kCarrier, path, CarrierAccess::Writable,
                                       FileService::LockKind::Exclusive, picture_,
                                       request_.picture.expected);
    if (!opened.completed()) return opened;
    Outcome verdict = picture_->VerdictOn(path);
    // Another program may have hidden something since the picture was chosen.
    if (verdict.completed() && picture_->Marks() && picture_->Marks()->holdsData())
        verdict = Outcome::Of(OutcomeKind::HoldsData, path);
    if (!verdict.completed()) Close();
    return verdict;
}

bool HideJob::IsOpen() const { return ctx_.files.IsOpen(kCarrier); }

Outcome HideJob::TakesFormat(int formatVersion) const {
    return picture_->TakesFormat(formatVersion, request_.picture.path);
}

StealthWeight HideJob::WeighStealth() {
    using Fit = StealthWeight::Fit;
    StealthWeight weight;
    try {
        if (!picture_->CoverWhole() || picture_->Decode() != OutcomeKind::Completed) return weight;
    } catch (const FileError&) {
        return weight;  // the hide itself tells what is wrong with the picture
    } catch (const std::bad_alloc&) {
        return weight;
    }
    const std::uint64_t samples = picture_->Samples().Geometry().SampleCount();
    const std::uint64_t name = BaseNameOf(request_.message).size();
    weight.safeBytes = stealth::StealthCapacity::SafeFile(samples, name).value_or(0);
    std::int64_t length = 0;
    try {
        ctx_.files.OpenReadOnly(kMessage, request_.message);
        length = ctx_.files.Length(kMessage);
        ctx_.files.Close(kMessage);
    } catch (const FileError&) {
        ctx_.files.CloseQuietly(kMessage);
        return weight;  // the hide itself tells what is wrong with the message file
    }
    const auto bytes = static_cast<std::uint64_t>(length);
    const auto largest = stealth::StealthCapacity::LargestFile(samples, name);
    if (!largest || bytes > *largest)
        weight.fit = Fit::TooLarge;
    else if (stealth::StealthCapacity::SafeFile(samples, name) && bytes <= weight.safeBytes)
        weight.fit = Fit::Safe;
    else
        weight.fit = Fit::Detectable;
    return weight;
}

Outcome HideJob::Run(const HideOptions& options) {
    const std::string& path = request_.picture.path;
    Outcome outcome;
    try {
        outcome = Write(options);
    } catch (const RewriteError& e) {
        outcome = Outcome::Failure(OutcomeKind::RewriteFailure, e, path);
    } catch (const FileError& e) {
        outcome = HideFailure(request_, e, stealth_);
    } catch (const PayloadError&) {
        // Only the key derivation can fail here: it found no memory to run in.
        outcome = Outcome::Of(OutcomeKind::NoMemory, path);
    } catch (...) {
        outcome = OutcomeOfFailure(std::current_exception(), path,
                                   deriving_ ? OutcomeKind::NoMemory : OutcomeKind::NoMemoryToWrite);
    }
    if (!outcome.completed()) Retract();
    // Everything is on the disk: a failing close can no longer lose anything.
    Close();
    if (!outcome.completed()) return outcome;
    ctx_.progress.Status(PassStatus::Embedded);
    // A version-3 picture shows nothing, to this program as to anyone.
    marked_ = options.formatVersion != 3;
    return Outcome::Of(OutcomeKind::Completed, path);
}

Outcome HideJob::Write(const HideOptions& options) {
    if (Outcome takes = TakesFormat(options.formatVersion); !takes.completed()) return takes;
    ctx_.files.OpenReadOnly(kMessage, request_.message);
    std::int64_t length = ctx_.files.Length(kMessage);
    if (options.formatVersion == 3) return WriteStealth(options, length);
    const BmpHeader& header = *picture_->Marks();
    if (!MessageFitsFormat(length, header, options.encrypted()))
        return Outcome::Of(OutcomeKind::TooLarge, request_.message);
    offBits_ = header.pixelOffset;
    ctx_.files.WriteAt(kCarrier, offBits_, HeaderGroupFor(request_, options));
    headerWritten_ = true;
    if (options.encrypted())
        WriteSealed(options, length);
    else
        WritePlain(options, length);
    return Outcome::Of(OutcomeKind::Completed, request_.picture.path);
}

// The whole picture is decoded once, the message sealed under the passphrase's keys and coded
// into the samples; only the samples that changed are written back.
Outcome HideJob::WriteStealth(const HideOptions& options, std::int64_t length) {
    const std::string& path = request_.picture.path;
    stealth_ = true;
    if (!picture_->CoverWhole()) return Outcome::Of(OutcomeKind::Damaged, path);
    if (OutcomeKind decoded = picture_->Decode(); decoded != OutcomeKind::Completed)
        return Outcome::About(decoded, picture_->Kind(), path);
    std::string name = BaseNameOf(request_.message);
    StealthPicture& picture = picture_->Samples();
    const std::uint64_t samples = picture.Geometry().SampleCount();
    if (stealth::StealthCapacity::PayloadLength(static_cast<std::uint64_t>(length), name.size()) >
        stealth::StealthCapacity::LargestPayload(samples))
        return Outcome::Of(OutcomeKind::TooLarge, request_.message);
    deriving_ = true;
    stealth::StealthKeys keys = stealth_steps::DeriveKeys(ctx_, options.password, picture.Geometry());
    deriving_ = false;
    SequentialReader message(ctx_.files, kMessage);
    stealth::MessageSealer sealer(keys, name, static_cast<std::uint64_t>(length),
                                  [&message](std::span<std::uint8_t> bytes) { message.Read(bytes); });
    std::vector<std::uint8_t> payload = sealer.Seal();
    auto changed = stealth_steps::Embed(ctx_, picture, keys, payload);
    if (!changed) return Outcome::Of(OutcomeKind::TooLarge, request_.message);
    rewritten_ = picture.WriteBack(*changed, ctx_.allowOtherLinks);
    return Outcome::Of(OutcomeKind::Completed, path);
}

void HideJob::WriteSealed(const HideOptions& options, std::int64_t length) {
    SequentialReader message(ctx_.files, kMessage);
    PayloadSealer sealer(KeysOf(ctx_), options.password, HeaderGroupFor(request_, options), length,
                         [&message](std::span<std::uint8_t> bytes) { message.Read(bytes); });
    RunBesideEventLoop(ctx_.pump, [&sealer] { sealer.DeriveKey(); });
    const std::int64_t payload = sealer.PayloadLength();
    ctx_.progress.Status(PassStatus::Embedding);
    EmbedGroups(ctx_, offBits_ + kHeaderGroupSize, payload,
                [&sealer](std::span<std::uint8_t> bytes) { sealer.Fill(bytes); });
    WriteGroupsThenClaim(MarkerFor(payload, format2::kMarkerEncrypted), options);
}

void HideJob::WritePlain(const HideOptions& options, std::int64_t length) {
    SequentialReader message(ctx_.files, kMessage);
    ctx_.progress.Status(PassStatus::Embedding);
    EmbedGroups(ctx_, offBits_ + kHeaderGroupSize, length,
                [&message](std::span<std::uint8_t> bytes) { message.Read(bytes); });
    bool protectedHide = options.protection == Protection::Password;
    WriteGroupsThenClaim(MarkerFor(length, protectedHide ? kMarkerProtected : kMarkerPlain), options);
}

// The disk must hold every group before it holds a marker that claims them; the password goes
// in just before the marker, and a signal until the last flush takes both back.
void HideJob::WriteGroupsThenClaim(std::uint32_t marker, const HideOptions& options) {
    FileService& f = ctx_.files;
    f.Flush(kCarrier);
    std::int64_t field = offBits_ + kPasswordLengthOffset;
    f.ArmRetraction(kCarrier, kMarkerOffset, LittleEndian32(0));
    f.ArmRetraction(kCarrier, field, BlankPassword());
    claimWritten_ = true;
    if (options.protection == Protection::Password && !options.encrypted())
        f.WriteAt(kCarrier, field, PasswordFieldOf(options.password));
    f.WriteAt(kCarrier, kMarkerOffset, LittleEndian32(marker));
    f.Flush(kCarrier);
    f.DisarmRetractions();
}

// A failed hide must leave neither a marker word that claims the groups nor a password in
// clear in the header group.
void HideJob::Retract() noexcept {
    FileService& f = ctx_.files;
    f.DisarmRetractions();
    if (!headerWritten_) return;
    try {
        if (claimWritten_) f.WriteAt(kCarrier, kMarkerOffset, LittleEndian32(0));
        f.WriteAt(kCarrier, offBits_ + kPasswordLengthOffset, BlankPassword());
        f.Flush(kCarrier);
    } catch (const FileError&) {
        // Already failing; the carrier may be unwritable altogether.
    }
}

void HideJob::Close() noexcept {
    ctx_.files.DisarmRetractions();
    ctx_.files.CloseQuietly(kMessage);
    ctx_.files.CloseQuietly(kCarrier);
}

}  // namespace velquist
