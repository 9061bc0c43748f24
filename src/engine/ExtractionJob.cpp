// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ExtractionJob.h"

#include <array>
#include <exception>

#include "engine/BesideEventLoop.h"
#include "engine/CarrierCheck.h"
#include "engine/CarrierWipe.h"
#include "engine/ExtractPass.h"
#include "engine/FailureOutcome.h"
#include "engine/FileNumbers.h"
#include "engine/PassProgress.h"
#include "engine/PendingOutput.h"
#include "engine/crypto/PayloadError.h"
#include "engine/crypto/PayloadOpener.h"
#include "engine/format/CarrierFormat.h"
#include "engine/format/Format2.h"
#include "engine/format/StoredNames.h"
#include "platform/FileService.h"
#include "platform/SequentialWriter.h"

namespace velquist {

namespace {

using file_numbers::kCarrier;
using file_numbers::kOutput;

// A version-2 marker word always has its password flag set and its reserved bits clear, and
// its length is one that a sealed message can have.
bool Version2Intact(const BmpHeader& header) {
    return (header.markerWord & format2::kReservedBits) == 0 &&
           (header.markerWord & carrier::kPasswordFlagBit) != 0 &&
           format2::MessageLength(header.messageLength()).has_value();
}

OutcomeKind CheckOf(const BmpHeader& header) {
    if (!header.holdsData()) return OutcomeKind::NoData;
    if (!header.isVersion1() && !header.isVersion2()) return OutcomeKind::OtherVersion;
    if (header.isVersion2() && !Version2Intact(header)) return OutcomeKind::Damaged;
    // A stored length whose groups run past the end of the picture cannot be a message.
    if (!header.storedMessageFits() || (header.isProtected() && !header.passwordReadable))
        return OutcomeKind::Damaged;
    return OutcomeKind::Completed;
}

Outcome PayloadFailure(const PayloadError& e, const std::string& carrierPath) {
    switch (e.kind()) {
        case PayloadError::Kind::WrongPassword: return Outcome::Of(OutcomeKind::WrongPassword, carrierPath);
        case PayloadError::Kind::Damaged: return Outcome::Of(OutcomeKind::Damaged, carrierPath);
        case PayloadError::Kind::Unavailable: break;
    }
    return Outcome::Of(OutcomeKind::NoMemory, carrierPath);
}

}  // namespace

ExtractionJob::ExtractionJob(PassContext& ctx, PictureRequest picture, const BmpHeader& header)
    : Extraction(ctx, std::move(picture)), header_(header) {}

ExtractionJob::~ExtractionJob() { Close(); }

Outcome ExtractionJob::Check() const { return Outcome::Of(CheckOf(header_), picture_.path); }

std::string ExtractionJob::OutputFile(const std::string& folder) const {
    return stored_names::OutputFileFor(folder, header_.SafeExtension());
}

bool ExtractionJob::NeedsPassword() const {
    return header_.isVersion2() || header_.isProtected();
}

bool ExtractionJob::AcceptPassword(const SecretBytes& entered) {
    password_ = entered;
    return header_.isVersion2() || entered.Equals(header_.password);
}

// The payload is opened as it comes out of the groups; only what has authenticated reaches
// the output, and a wrong password or a changed bit throws the whole output away.
void ExtractionJob::RunSealed(const PayloadSink& write) {
    std::array<std::uint8_t, carrier::kHeaderGroupSize> group;
    ctx_.files.ReadAt(kCarrier, header_.pixelOffset, group);
    const std::int64_t length = header_.messageLength();
    PayloadOpener opener(KeysOf(ctx_), password_, group, length, write);
    ExtractMsg(ctx_, header_, length, [this, &opener](std::span<const std::uint8_t> bytes) {
        opener.Feed(bytes);
        if (!opener.NeedsKey()) return;
        ctx_.progress.Status(PassStatus::VerifyingPassword);
        RunBesideEventLoop(ctx_.pump, [&opener] { opener.DeriveKey(); });
        ctx_.progress.Status(PassStatus::Extracting);
    });
    opener.Finish();
}

Outcome ExtractionJob::RunPass(const std::string& outFile) {
    try {
        output_ = std::make_unique<PendingOutput>(ctx_.files, kOutput, outFile);
    } catch (const FileError& e) {
        return Outcome::Failure(OutcomeKind::OutputFailure, e, outFile);
    }
    SequentialWriter output(ctx_.files, kOutput);
    PayloadSink write = [&output](std::span<const std::uint8_t> bytes) { output.Write(bytes); };
    const std::string& carrierPath = picture_.path;
    try {
        if (header_.isVersion2())
            RunSealed(write);
        else
            ExtractMsg(ctx_, header_, header_.messageLength(), write);
    } catch (const PayloadError& e) {
        return PayloadFailure(e, carrierPath);
    } catch (const FileError& e) {
        if (e.number() == kOutput) return Outcome::Failure(OutcomeKind::OutputFailure, e, outFile);
        return Outcome::Failure(OutcomeKind::CarrierFailure, e, carrierPath);
    } catch (...) {
        return OutcomeOfFailure(std::current_exception(), carrierPath);
    }
    try {
        output_->Commit(Agreed());
    } catch (const FileError& e) {
        return Outcome::Failure(OutcomeKind::OutputFailure, e, outFile);
    }
    return Outcome::Of(OutcomeKind::Completed, outFile);
}

Outcome ExtractionJob::Run(const std::string& outFile) {
    if (Outcome checked = CheckedOutput(outFile); !checked.completed()) return checked;
    Outcome outcome = RunPass(outFile);
    // Whatever did not become the output is thrown away.
    output_.reset();
    return outcome;
}

Outcome ExtractionJob::Wipe() {
    const std::string& path = picture_.path;
    try {
        WipeCarrier(ctx_.files, kCarrier, header_);
    } catch (const FileError& e) {
        return Outcome::Failure(OutcomeKind::CarrierFailure, e, path);
    } catch (...) {
        return OutcomeOfFailure(std::current_exception(), path);
    }
    return Outcome::Of(OutcomeKind::Completed, path);
}

void ExtractionJob::Close() noexcept {
    output_.reset();
    // The carrier was only read; a failed close loses nothing.
    ctx_.files.CloseQuietly(kCarrier);
}

}  // namespace velquist
