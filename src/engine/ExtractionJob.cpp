#include "engine/ExtractionJob.h"

#include "engine/CarrierCheck.h"
#include "engine/CarrierFormat.h"
#include "engine/CarrierWipe.h"
#include "engine/ExtractPass.h"
#include "engine/FileNumbers.h"
#include "engine/JobState.h"
#include "engine/PendingOutput.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"

namespace velquist {

namespace {

using file_numbers::kCarrier;
using file_numbers::kOutput;

OutcomeKind Verdict(const CarrierHeader& header) {
    if (OutcomeKind verdict = CarrierVerdict(header); verdict != OutcomeKind::Completed)
        return verdict;
    if (!header.holdsData()) return OutcomeKind::NoData;
    if (!header.isVersion1()) return OutcomeKind::OtherVersion;
    // A stored length whose groups run past the end of the picture cannot be a message.
    if (!header.storedMessageFits() || (header.isProtected() && !header.passwordReadable))
        return OutcomeKind::Damaged;
    return OutcomeKind::Completed;
}

}  // namespace

ExtractionJob::ExtractionJob(PassContext& ctx) : ctx_(ctx) {}

ExtractionJob::~ExtractionJob() { Close(); }

Outcome ExtractionJob::Open() {
    NumberedFiles& f = ctx_.platform.Files();
    const std::string& path = ctx_.job.ImagePath;
    try {
        f.OpenReadOnly(kCarrier, path);
        f.Lock(kCarrier, NumberedFiles::LockKind::Exclusive);
        header_ = ReadCarrierHeader(f, kCarrier);
    } catch (const FileError& e) {
        Close();
        if (e.cause() == FileCause::Busy) return Outcome::Of(OutcomeKind::Busy, path);
        return Outcome::Failure(OutcomeKind::CarrierFailure, e, path);
    }
    ctx_.job.MsgLen = static_cast<std::int32_t>(header_.markerWord);
    return Outcome::Of(Verdict(header_), path);
}

OutputTarget ExtractionJob::CheckOutput(const std::string& outFile) {
    return CheckOutputTarget(ctx_.platform.Files(), ctx_.job.ImagePath, outFile);
}

Outcome ExtractionJob::Run(const std::string& outFile) {
    JobState& s = ctx_.job;
    s.MsgLen = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.MsgLen) & carrier::kLengthMask);
    try {
        output_ = std::make_unique<PendingOutput>(ctx_.platform.Files(), kOutput, outFile);
    } catch (const FileError& e) {
        return Outcome::Failure(OutcomeKind::OutputFailure, e, outFile);
    }
    Outcome outcome = ExtractMsg(ctx_);
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
