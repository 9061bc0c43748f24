#include "engine/ExtractionJob.h"

#include "engine/CarrierFormat.h"
#include "engine/EngineTexts.h"
#include "engine/ExtractPass.h"
#include "engine/JobState.h"
#include "engine/PendingOutput.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"

namespace velquist {

namespace {
constexpr int kCarrier = 1;
constexpr int kOutput = 2;
}  // namespace

ExtractionJob::ExtractionJob(PassContext& ctx) : ctx_(ctx) {}

ExtractionJob::~ExtractionJob() { Close(); }

void ExtractionJob::Open(const std::string& outFile) {
    NumberedFiles& f = ctx_.platform.Files();
    try {
        f.OpenReadOnly(kCarrier, ctx_.job.ImagePath);
        header_ = ReadCarrierHeader(f, kCarrier);
        output_ = std::make_unique<PendingOutput>(f, kOutput, outFile);
    } catch (const FileError&) {
        Close();
        throw;
    }
    ctx_.job.MsgLen = static_cast<std::int32_t>(header_.markerWord);
}

PassResult ExtractionJob::Run() {
    JobState& s = ctx_.job;
    s.MsgLen = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.MsgLen) & carrier::kLengthMask);
    if (ExtractMsg(ctx_) == PassResult::Failed) return PassResult::Failed;
    try {
        output_->Commit();
    } catch (const FileError&) {
        ctx_.platform.MsgBox(texts::kExtractFailed, kStyleError);
        return PassResult::Failed;
    }
    return PassResult::Completed;
}

void ExtractionJob::Close() noexcept {
    output_.reset();
    NumberedFiles& f = ctx_.platform.Files();
    if (f.IsOpen(kCarrier)) {
        try {
            f.Close(kCarrier);
        } catch (const FileError&) {
            // The carrier was only read; a failed close loses nothing.
        }
    }
}

}  // namespace velquist
