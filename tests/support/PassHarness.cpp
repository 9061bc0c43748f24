// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PassHarness.h"

#include <random>

#include "engine/HideJob.h"
#include "engine/ExtractPass.h"
#include "engine/CarrierWipe.h"
#include "engine/OpenedExtraction.h"
#include "engine/PictureWipe.h"
#include "engine/format/BmpHeader.h"
#include "engine/format/CarrierFormat.h"
#include "platform/NumberedFiles.h"

namespace velquist::testing {

PassHarness::PassHarness() { carrierPath = dir.File("carrier.bmp"); }

std::vector<std::uint8_t> PassHarness::MakeCarrier(const CarrierBuilder& builder) {
    auto bytes = builder.Build();
    WriteAll(carrierPath, bytes);
    job.ImagePath = carrierPath;
    return bytes;
}

std::vector<std::uint8_t> PassHarness::MakeMessage(const std::vector<std::uint8_t>& bytes,
                                                   const std::string& ext) {
    job.MsgPath = dir.File("message." + ext);
    WriteAll(job.MsgPath, bytes);
    job.MsgExt = ext;
    return bytes;
}

void PassHarness::Hide(const std::string& password, bool protectedHide, bool encrypted) {
    HideOptions options;
    if (protectedHide) {
        options.protection = Protection::Password;
        options.formatVersion = encrypted ? 2 : 1;
        options.password = SecretBytes::Of(password);
    }
    lastHide = RunHide(options);
}

void PassHarness::HideStealth(const std::string& passphrase) {
    lastHide = RunHide(HideOptions{Protection::Password, 3, SecretBytes::Of(passphrase)});
}

Outcome PassHarness::RunHide(const HideOptions& options) {
    HideJob hide(ctx, {{job.ImagePath, job.ImageFile}, job.MsgPath, job.MsgExt});
    Outcome outcome = hide.Open();
    if (outcome.completed()) outcome = hide.Run(options);
    if (hide.Marked()) job.HiddenMark = true;
    if (auto rewritten = hide.Rewritten()) job.ImageFile = *rewritten;
    return outcome;
}

Outcome PassHarness::Extract(const std::string& outFile, const std::string& password) {
    OpenedExtraction opened = OpenForExtraction(ctx, {job.ImagePath, job.ImageFile}, {});
    if (!opened.outcome.completed()) return opened.outcome;
    Extraction& extraction = *opened.extraction;
    if (extraction.NeedsPassword() && !extraction.AcceptPassword(SecretBytes::Of(password)))
        return Outcome::Of(OutcomeKind::WrongPassword, job.ImagePath);
    return extraction.Run(outFile);
}

std::vector<std::uint8_t> PassHarness::Carrier() const { return ReadAll(carrierPath); }

void PassHarness::WipeCarrierFile() {
    NumberedFiles& files = platform.Files();
    files.OpenExisting(1, carrierPath);
    try {
        files.Lock(1, FileService::LockKind::Exclusive);
        WipeCarrier(files, 1, ReadBmpHeader(files, 1));
    } catch (const FileError&) {
        files.CloseQuietly(1);
        throw;
    }
    files.Close(1);
}

Outcome WipeCommand(FileService& files, const std::string& path) {
    RecordingProgress progress;
    PassContext ctx{files, progress};
    return WipePicture(ctx, {path, {}}, {});
}

std::vector<std::uint8_t> RandomBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    return bytes;
}

}  // namespace velquist::testing
