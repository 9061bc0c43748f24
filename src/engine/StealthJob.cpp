// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/StealthJob.h"

#include <algorithm>
#include <exception>

#include "engine/FileNumbers.h"
#include "engine/JobState.h"
#include "engine/PassProgress.h"
#include "engine/PendingOutput.h"
#include "engine/StealthPicture.h"
#include "engine/StealthSteps.h"
#include "engine/format/CarrierCheck.h"
#include "engine/stealth/MessageOpener.h"
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
                                       FileService::LockKind::Exclusive, header_,
                                       ctx_.job.ImageFile);
    if (!opened.completed()) return opened;
    if (OutcomeKind verdict = CarrierVerdict(header_); verdict != OutcomeKind::Completed)
        return Outcome::Of(verdict, path);
    // A marker word, or a pixel array cut short, leaves no room for a version-3 message.
    if (header_.holdsData() || !header_.pixelArrayWhole()) return Outcome::Of(OutcomeKind::NoData, path);
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
    picture_ = stealth_steps::OpenPicture(ctx_, header_);
    keys_.emplace(stealth_steps::DeriveKeys(ctx_, passphrase, picture_->Geometry()));
    ctx_.progress.Status(PassStatus::Extracting);
    auto payload = stealth_steps::ReadPayload(*picture_, *keys_);
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
    if (!picture_ || !keys_) return Outcome::Of(OutcomeKind::NoData, path);
    try {
        auto changed = stealth_steps::Wipe(ctx_, *picture_, *keys_, payloadLength_);
        picture_->WriteBack(changed);
    } catch (const FileError& e) {
        return CarrierFileFailure(e, path);
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
