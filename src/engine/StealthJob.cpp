// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/StealthJob.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "engine/CarrierCheck.h"
#include "engine/FailureOutcome.h"
#include "engine/FileNumbers.h"
#include "engine/PassProgress.h"
#include "engine/PendingOutput.h"
#include "engine/StealthPicture.h"
#include "engine/StealthSteps.h"
#include "engine/stealth/MessageOpener.h"
#include "platform/FileService.h"
#include "platform/SequentialWriter.h"

namespace velquist {

namespace {

using file_numbers::kCarrier;
using file_numbers::kOutput;

}  // namespace

StealthJob::StealthJob(PassContext& ctx, PictureRequest picture,
                       std::unique_ptr<CarrierPicture> carrier)
    : Extraction(ctx, std::move(picture)), carrier_(std::move(carrier)) {}

StealthJob::~StealthJob() { Close(); }

Outcome StealthJob::Find(const SecretBytes& passphrase) {
    try {
        return Look(passphrase);
    } catch (const FileError& e) {
        return CarrierFileFailure(e, picture_.path);
    } catch (...) {
        return OutcomeOfFailure(std::current_exception(), picture_.path);
    }
}

Outcome StealthJob::Look(const SecretBytes& passphrase) {
    const std::string& path = picture_.path;
    if (OutcomeKind decoded = carrier_->Decode(); decoded != OutcomeKind::Completed)
        return Outcome::About(decoded, carrier_->Kind(), path);
    StealthPicture& picture = carrier_->Samples();
    keys_.emplace(stealth_steps::DeriveKeys(ctx_, passphrase, picture.Geometry()));
    ctx_.progress.Status(PassStatus::Extracting);
    auto payload = stealth_steps::ReadPayload(picture, *keys_);
    if (!payload) return Outcome::Of(OutcomeKind::NoData, path);
    payloadLength_ = static_cast<std::uint32_t>(payload->size());
    // The message never grows in ordinary memory: the payload is longer than what it opens to.
    file_ = SecretBytes(payload->size());
    stealth::MessageOpener opener(
        *keys_, [this](const std::string& name) { name_ = name; },
        [this](std::span<const std::uint8_t> bytes) {
            const std::size_t at = file_.size();
            file_.Resize(at + bytes.size());
            if (file_.size() != at + bytes.size()) throw std::length_error("a message past its payload");
            std::copy(bytes.begin(), bytes.end(), file_.data() + at);
        });
    opener.Open(*payload);
    return Outcome::Of(OutcomeKind::Completed, path);
}

std::string StealthJob::OutputFile(const std::string& folder) const { return folder + name_; }

Outcome StealthJob::Run(const std::string& outFile) {
    if (Outcome checked = CheckedOutput(outFile); !checked.completed()) return checked;
    try {
        PendingOutput output(ctx_.files, kOutput, outFile);
        SequentialWriter(ctx_.files, kOutput).Write(file_.bytes());
        output.Commit(Agreed());
    } catch (const FileError& e) {
        return Outcome::Failure(OutcomeKind::OutputFailure, e, outFile);
    }
    ctx_.progress.Percent(100);
    return Outcome::Of(OutcomeKind::Completed, outFile);
}

Outcome StealthJob::Wipe() {
    const std::string& path = picture_.path;
    if (!keys_) return Outcome::Of(OutcomeKind::NoData, path);
    StealthPicture& picture = carrier_->Samples();
    try {
        auto changed = stealth_steps::Wipe(ctx_, picture, *keys_, payloadLength_);
        rewritten_ = picture.WriteBack(changed, ctx_.allowOtherLinks);
    } catch (const RewriteError& e) {
        return Outcome::Failure(OutcomeKind::RewriteFailure, e, path);
    } catch (const FileError& e) {
        return CarrierFileFailure(e, path);
    } catch (...) {
        return OutcomeOfFailure(std::current_exception(), path, OutcomeKind::NoMemoryToWrite);
    }
    return Outcome::Of(OutcomeKind::Completed, path);
}

void StealthJob::Close() noexcept {
    file_ = SecretBytes();
    ctx_.files.CloseQuietly(kCarrier);
}

}  // namespace velquist
