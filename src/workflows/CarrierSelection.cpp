// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/CarrierSelection.h"

#include "engine/FileNumbers.h"
#include "engine/JobState.h"
#include "engine/format/CarrierCheck.h"
#include "engine/format/CarrierHeader.h"
#include "engine/format/CarrierFormat.h"
#include "engine/format/StoredNames.h"
#include "engine/stealth/StealthCapacity.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "workflows/MainView.h"
#include "workflows/OutcomeBoxes.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

namespace {

using file_numbers::kCarrier;

}  // namespace

void CarrierSelection::cmdopen_Click() {
    std::string previous = job_.ImagePath;
    if (auto chosen = platform_.OpenFileDialog(texts::kOpenPictureTitle, texts::kPicturePattern,
                                               platform_.HomeFolder()))
        job_.ImagePath = *chosen;
    if (job_.ImagePath.empty()) return;
    // A cancelled dialog inspects the current carrier again.
    Inspect(previous);
}

void CarrierSelection::Choose(const std::string& path) {
    std::string previous = job_.ImagePath;
    job_.ImagePath = path;
    Inspect(previous);
}

void CarrierSelection::Inspect(const std::string& previousPath) {
    CarrierHeader header;
    PathFacts file;
    // Read-only: looking at a picture must never create or change a file.
    Outcome outcome = InspectCarrier(platform_.Files(), kCarrier, job_.ImagePath, header, &file);
    if (!outcome.completed()) {
        job_.ImagePath = previousPath;
        // Shown before anything else changes, so a refused picture is never the carrier.
        if (outcome.kind == OutcomeKind::Not24Bit || outcome.kind == OutcomeKind::NotUncompressed ||
            outcome.kind == OutcomeKind::UnsupportedPng)
            view_.ShowPreviewFrame();
        ShowOutcome(platform_, CarrierCommand::Inspect, outcome);
        return;
    }
    if (!view_.LoadPreview(job_.ImagePath)) {
        job_.ImagePath = previousPath;
        platform_.MsgBox(texts::kCannotOpenPicture, kStyleError, texts::kCannotOpenPictureTitle);
        return;
    }
    view_.ShowPreviewFrame();
    view_.SetCaption(Caption::LabCue1, texts::kCurrentPicture + job_.ImagePath);
    job_.ImageFile = file;
    job_.ImageIsPng = header.isPng();
    job_.HiddenMark = static_cast<std::int32_t>(header.markerWord);
    capacity_.kilobytes = header.capacityKilobytes();
    capacity_.safeKilobytes =
        static_cast<std::int64_t>(
            stealth::StealthCapacity::SafeFile(header.stealthSamples()).value_or(0)) /
        carrier::kCapacityUnit;
    if (header.holdsData()) {
        ShowHiddenData(header);
        return;
    }
    view_.SetCaption(Caption::Labtmp, texts::kNoHidden);
    view_.SetCaption(Caption::labfinish, "");
    ShowCapacity();
}

void CarrierSelection::ShowHiddenData(const CarrierHeader& header) {
    view_.SetCaption(Caption::Labtmp, texts::kHoldsHidden);
    view_.SetCaption(Caption::labfinish, "");
    job_.MsgExt = header.SafeExtension();
    job_.OutFile = stored_names::OutputFileFor(job_.OutPath, job_.MsgExt);
    view_.SetCaption(Caption::LabCue2, texts::kExtractTo + job_.OutFile);
}

// With the no-trace option the hint is the size that stays hard to detect, not the most that
// fits.
void CarrierSelection::ShowCapacity() {
    // A PNG carries nothing but version 3: its hint is always the safe size.
    bool stealth = job_.ImageIsPng ||
                   (view_.PasswordTicked() && view_.EncryptTicked() && view_.StealthTicked());
    std::int64_t kilobytes = stealth ? capacity_.safeKilobytes : capacity_.kilobytes;
    view_.SetCaption(Caption::LabCue2,
                     texts::kCapacityBefore + std::to_string(kilobytes) + texts::kCapacityAfter);
}

void CarrierSelection::RefreshCapacity() {
    if (job_.ImagePath.empty() || job_.HiddenMark != 0 || !job_.MsgPath.empty()) return;
    ShowCapacity();
}

}  // namespace velquist
