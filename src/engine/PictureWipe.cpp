// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PictureWipe.h"

#include <exception>
#include <memory>

#include "engine/CarrierCheck.h"
#include "engine/CarrierWipe.h"
#include "engine/FailureOutcome.h"
#include "engine/FileNumbers.h"
#include "engine/StealthJob.h"
#include "engine/format/BmpHeader.h"
#include "platform/FileService.h"

namespace velquist {

namespace {

using file_numbers::kCarrier;

Outcome WipeMarked(FileService& files, const BmpHeader& header, const std::string& path) {
    try {
        WipeCarrier(files, kCarrier, header);
    } catch (const FileError& e) {
        return CarrierFileFailure(e, path);
    } catch (...) {
        return OutcomeOfFailure(std::current_exception(), path);
    }
    return Outcome::Of(OutcomeKind::Completed, path);
}

Outcome WipeOpened(PassContext& ctx, const PictureRequest& request,
                   std::unique_ptr<CarrierPicture> picture, const PassphraseSource& passphrase) {
    if (Outcome verdict = picture->VerdictOn(request.path); !verdict.completed()) return verdict;
    if (const BmpHeader* marks = picture->Marks(); marks && marks->holdsData())
        return WipeMarked(ctx.files, *marks, request.path);
    std::optional<SecretBytes> phrase = passphrase ? passphrase() : std::nullopt;
    if (!phrase || !picture->CoverWhole()) return Outcome::Of(OutcomeKind::NoData, request.path);
    StealthJob job(ctx, request, std::move(picture));
    if (Outcome found = job.Find(*phrase); !found.completed()) return found;
    return job.Wipe();
}

}  // namespace

Outcome WipePicture(PassContext& ctx, const PictureRequest& picture,
                    const PassphraseSource& passphrase) {
    std::unique_ptr<CarrierPicture> opened;
    Outcome outcome = OpenLockedCarrier(ctx.files, kCarrier, picture.path, CarrierAccess::Writable,
                                        FileService::LockKind::Exclusive, opened, picture.expected);
    if (!outcome.completed()) return outcome;
    outcome = WipeOpened(ctx, picture, std::move(opened), passphrase);
    if (!outcome.completed()) {
        ctx.files.CloseQuietly(kCarrier);
        return outcome;
    }
    try {
        ctx.files.Close(kCarrier);
    } catch (const FileError& e) {
        return CarrierFileFailure(e, picture.path);
    }
    return outcome;
}

}  // namespace velquist
