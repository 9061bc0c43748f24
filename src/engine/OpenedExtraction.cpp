// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/OpenedExtraction.h"

#include "engine/CarrierCheck.h"
#include "engine/ExtractionJob.h"
#include "engine/FileNumbers.h"
#include "engine/StealthJob.h"
#include "engine/format/BmpHeader.h"

namespace velquist {

namespace {

using file_numbers::kCarrier;

// What the picture open and locked as file 1 holds, as an extraction of it.
OpenedExtraction ExtractionOf(PassContext& ctx, const PictureRequest& request,
                              std::unique_ptr<CarrierPicture> picture,
                              const PassphraseSource& passphrase) {
    if (Outcome verdict = picture->VerdictOn(request.path); !verdict.completed())
        return {verdict, nullptr};
    if (const BmpHeader* marks = picture->Marks(); marks && marks->holdsData()) {
        auto job = std::make_unique<ExtractionJob>(ctx, request, *marks);
        Outcome checked = job->Check();
        return {checked, std::move(job)};
    }
    std::optional<SecretBytes> phrase = passphrase ? passphrase() : std::nullopt;
    // A pixel array cut short leaves no room for a version-3 message.
    if (!phrase || !picture->CoverWhole())
        return {Outcome::Of(OutcomeKind::NoData, request.path), nullptr};
    auto job = std::make_unique<StealthJob>(ctx, request, std::move(picture));
    Outcome found = job->Find(*phrase);
    return {found, std::move(job)};
}

}  // namespace

OpenedExtraction OpenForExtraction(PassContext& ctx, const PictureRequest& picture,
                                   const PassphraseSource& passphrase) {
    std::unique_ptr<CarrierPicture> opened;
    Outcome outcome =
        OpenLockedCarrier(ctx.files, kCarrier, picture.path, CarrierAccess::WritableIfAllowed,
                          FileService::LockKind::Exclusive, opened, picture.expected);
    if (!outcome.completed()) return {outcome, nullptr};
    OpenedExtraction extraction = ExtractionOf(ctx, picture, std::move(opened), passphrase);
    if (!extraction.outcome.completed()) {
        extraction.extraction.reset();
        ctx.files.CloseQuietly(kCarrier);
    }
    return extraction;
}

}  // namespace velquist
