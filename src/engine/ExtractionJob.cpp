// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ExtractionJob.h"

#include <array>
#include <cerrno>

#include "engine/CarrierCheck.h"
#include "engine/CarrierFormat.h"
#include "engine/BesideEventLoop.h"
#include "engine/CarrierWipe.h"
#include "engine/EngineTexts.h"
#include "engine/ExtractPass.h"
#include "engine/FileNumbers.h"
#include "engine/Format2.h"
#include "engine/MainWindowPort.h"
#include "engine/PayloadError.h"
#include "engine/PayloadOpener.h"
#include "engine/JobState.h"
#include "engine/PendingOutput.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"

namespace velquist {

namespace {

using file_numbers::kCarrier;
using file_numbers::kOutput;

// A version-2 marker word always has its password flag set and its reserved bits clear, and
// its length is one that a sealed message can have.
bool Version2Intact(const CarrierHeader& header) {
    return (header.markerWord & format2::kReservedBits) == 0 &&
           (header.markerWord & carrier::kPasswordFlagBit) != 0 &&
           format2::MessageLength(header.messageLength()).has_value();
}

OutcomeKind Verdict(const CarrierHeader& header) {
    if (OutcomeKind verdict = CarrierVerdict(header); verdict != OutcomeKind::Completed)
        return verdict;
    if (!header.holdsData()) return OutcomeKind::NoData;
    if (!header.isVersion1() && !header.isVersion2()) return OutcomeKind::OtherVersion;
    if (header.isVersion2() && !Version2Intact(header)) return OutcomeKind::Damaged;
    // A stored length whose groups run past the end of the picture cannot be a message.
    if (!header.storedMessageFits() || (header.isProtected() && !header.passwordReadable))
        return OutcomeKind::Damaged;
    return OutcomeKind::Completed;
}

}  // namespace

ExtractionJob::ExtractionJob(PassContext& ctx) : ctx_(ctx) {}

ExtractionJob::~ExtractionJob() { Close(); }

Outcome ExtractionJob::Open() {
    const std::string& path = ctx_.job.ImagePath;
    Outcome opened = OpenLockedCarrier(ctx_.platform.Files(), kCarrier, path,
                                       NumberedFiles::LockKind::Exclusive, header_);
    if (!opened.completed()) return opened;
    ctx_.job.MsgLen = static_cast<std::int32_t>(header_.markerWord);
    return Outcome::Of(Verdict(header_), path);
}

OutputTarget ExtractionJob::CheckOutput(const std::string& outFile) {
    return CheckOutputTarget(ctx_.platform.Files(), ctx_.job.ImagePath, outFile);
}

bool ExtractionJob::NeedsPassword() const {
    return header_.isVersion2() || header_.isProtected();
}

bool ExtractionJob::AcceptPassword(const std::string& entered) {
    password_ = entered;
    return header_.isVersion2() || entered == header_.StoredPassword();
}

// The payload is opened as it comes out of the groups; only what has authenticated reaches
// the output, and a wrong password or a changed bit throws the whole output away.
Outcome ExtractionJob::RunSealed(const PayloadSink& write) {
    std::array<std::uint8_t, carrier::kHeaderGroupSize> group;
    ctx_.platform.Files().ReadAt(kCarrier, header_.pixelOffset, group);
    PayloadOpener opener(KeysOf(ctx_), password_, group, ctx_.job.MsgLen, write);
    Outcome outcome = ExtractMsg(ctx_, [this, &opener](std::span<const std::uint8_t> bytes) {
        opener.Feed(bytes);
        if (!opener.NeedsKey()) return;
        ctx_.window.SetStatusCaption(texts::kVerifyingPassword);
        RunBesideEventLoop(ctx_.platform, [&opener] { opener.DeriveKey(); });
        ctx_.window.SetStatusCaption(texts::kProgressStatus);
    });
    if (outcome.completed()) opener.Finish();
    return outcome;
}

Outcome ExtractionJob::Run(const std::string& outFile) {
    JobState& s = ctx_.job;
    s.MsgLen = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.MsgLen) & carrier::kLengthMask);
    try {
        output_ = std::make_unique<PendingOutput>(ctx_.platform.Files(), kOutput, outFile);
    } catch (const FileError& e) {
        return Outcome::Failure(OutcomeKind::OutputFailure, e, outFile);
    }
    NumberedFiles& f = ctx_.platform.Files();
    PayloadSink write = [&f](std::span<const std::uint8_t> bytes) {
        f.PutBlock(kOutput, NumberedFiles::kHere, bytes);
    };
    Outcome outcome;
    try {
        outcome = header_.isVersion2() ? RunSealed(write) : ExtractMsg(ctx_, write);
    } catch (const PayloadError& e) {
        output_.reset();
        if (e.kind() == PayloadError::Kind::WrongPassword)
            return Outcome::Of(OutcomeKind::WrongPassword, s.ImagePath);
        if (e.kind() == PayloadError::Kind::Damaged)
            return Outcome::Of(OutcomeKind::Damaged, s.ImagePath);
        return Outcome{OutcomeKind::CarrierFailure, s.ImagePath, FileCause::Other, ENOMEM};
    } catch (const FileError& e) {
        output_.reset();
        if (e.number() == kOutput) return Outcome::Failure(OutcomeKind::OutputFailure, e, outFile);
        return Outcome::Failure(OutcomeKind::CarrierFailure, e, s.ImagePath);
    }
    if (!outcome.completed()) {
        output_.reset();
        return outcome;
    }
    try {
        output_->Commit();
    } catch (const FileError& e) {
        output_.reset();
        return Outcome::Failure(OutcomeKind::OutputFailure, e, outFile);
    }
    output_.reset();
    return Outcome::Of(OutcomeKind::Completed, outFile);
}

Outcome ExtractionJob::Wipe() {
    try {
        WipeCarrier(ctx_.platform.Files(), file_numbers::kWipe, ctx_.job.ImagePath);
    } catch (const FileError& e) {
        return Outcome::Failure(OutcomeKind::CarrierFailure, e, ctx_.job.ImagePath);
    }
    return Outcome::Of(OutcomeKind::Completed, ctx_.job.ImagePath);
}

void ExtractionJob::Close() noexcept {
    output_.reset();
    // The carrier was only read; a failed close loses nothing.
    ctx_.platform.Files().CloseQuietly(kCarrier);
}

}  // namespace velquist
