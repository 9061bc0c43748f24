// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/StealthJob.h"

#include <algorithm>
#include <exception>

#include "engine/CarrierCheck.h"
#include "engine/FileNumbers.h"
#include "engine/JobState.h"
#include "engine/PassProgress.h"
#include "engine/PendingOutput.h"
#include "engine/format/BmpHeader.h"
#include "engine/StealthPicture.h"
#include "engine/StealthSteps.h"
#include "engine/stealth/MessageOpener.h"
#include "engine/stealth/Stealth.h"
#include "platform/FileService.h"
#include "platform/SequentialWriter.h"

namespace velquist {

namespace {

using file_numbers::kCarrier;
using file_numbers::kOutput;

}  // namespace

StealthJob::StealthJob(PassContext& ctx) : ctx_(ctx) {}

StealthJob::~StealthJob() { Close(); }

Outcome StealthJob::Open(const SecretBytes& passphrase) {
    const std::string& path = ctx_.job.ImagePath;
    Outcome opened = OpenLockedCarrier(ctx_.files, kCarrier, path, CarrierAccess::WritableIfAllowed,
                                       FileService::LockKind::Exclusive, carrier_,
                                       ctx_.job.ImageFile);
    if (!opened.completed()) return opened;
    if (Outcome verdict = carrier_->VerdictOn(path); !verdict.completed()) return verdict;
    // A marker word, or a pixel array cut short, leaves no room for a version-3 message.
    const BmpHeader* marks = carrier_->Marks();
    if ((marks && marks->holdsData()) || !carrier_->CoverWhole())
        return Outcome::Of(OutcomeKind::NoData, path);
    try {
        return Find(passphrase);
    } catch (const FileError& e) {
        return CarrierFileFailure(e, path);
    } catch (...) {
        return stealth_steps::FailureOf(std::current_exception(), path);
    }
}

Outcome StealthJob::Find(const SecretBytes& passphrase) {
    const std::string& path = ctx_.job.ImagePath;
    if (OutcomeKind decoded = carrier_->Decode(); decoded != OutcomeKind::Completed)
        return Outcome::About(decoded, carrier_->Kind(), path);
    StealthPicture& picture = carrier_->Samples();
    keys_.emplace(stealth_steps::DeriveKeys(ctx_, passphrase, picture.Geometry()));
    ctx_.progress.Status(PassStatus::Extracting);
    auto payload = stealth::ReadPayload(picture.Samples(), *keys_);
    if (!payload) return Outcome::Of(OutcomeKind::NoData, path);
    payloadLength_ = static_cast<std::uint32_t>(payload->size());
    ctx_.job.MsgLen = static_cast<std::int32_t>(payloadLength_);
    stealth::MessageOpener opener(
        *keys_, [this](const std::string& name) { name_ = name; },
        [this](std::span<const std::uint8_t> bytes) { file_.insert(file_.end(), bytes.begin(), bytes.end()); });
    opener.Open(*payload);
    return Outcome::Of(OutcomeKind::Completed, path);
}

OutputTarget StealthJob::CheckOutput(const std::string& outFile) {
    OutputTarget target = CheckOutputTarget(ctx_.files, ctx_.job.ImagePath, outFile);
    checkedOutput_ = outFile;
    agreed_ = target.standing;
    return target;
}

Outcome StealthJob::Run(const std::string& outFile) {
    if (checkedOutput_ != outFile) {
        OutputTarget target = CheckOutput(outFile);
        if (!target.verdict.completed()) return target.verdict;
    }
    try {
        PendingOutput output(ctx_.files, kOutput, outFile);
        SequentialWriter(ctx_.files, kOutput).Write(file_);
        output.Commit(agreed_);
    } catch (const FileError& e) {
        return Outcome::Failure(OutcomeKind::OutputFailure, e, outFile);
    }
    ctx_.job.Percent = 100;
    ctx_.progress.Percent(100);
    return Outcome::Of(OutcomeKind::Completed, outFile);
}

Outcome StealthJob::Wipe() {
    const std::string& path = ctx_.job.ImagePath;
    if (!keys_) return Outcome::Of(OutcomeKind::NoData, path);
    StealthPicture& picture = carrier_->Samples();
    try {
        auto changed = stealth_steps::Wipe(ctx_, picture, *keys_, payloadLength_);
        if (auto rewritten = picture.WriteBack(changed)) ctx_.job.ImageFile = *rewritten;
    } catch (const FileError& e) {
        return Outcome::Failure(OutcomeKind::CarrierFailure, e, path);
    } catch (...) {
        return stealth_steps::FailureOf(std::current_exception(), path);
    }
    return Outcome::Of(OutcomeKind::Completed, path);
}

void StealthJob::Close() noexcept {
    std::fill(file_.begin(), file_.end(), 0);
    file_.clear();
    ctx_.files.CloseQuietly(kCarrier);
}

Outcome WipeStealthData(PassContext& ctx, const SecretBytes& passphrase) {
    StealthJob job(ctx);
    if (Outcome found = job.Open(passphrase); !found.completed()) return found;
    return job.Wipe();
}

}  // namespace velquist
