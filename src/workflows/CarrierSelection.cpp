// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/CarrierSelection.h"

#include "engine/FileNumbers.h"
#include "engine/JobState.h"
#include "engine/CarrierCheck.h"
#include "engine/format/BmpHeader.h"
#include "engine/format/CarrierFormat.h"
#include "engine/format/StoredNames.h"
#include "engine/stealth/StealthCapacity.h"
#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "workflows/ChosenFormat.h"
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
    std::unique_ptr<CarrierPicture> picture;
    PathFacts file;
    // Read-only: looking at a picture must never create or change a file.
    Outcome outcome = InspectCarrier(platform_.Files(), kCarrier, job_.ImagePath, picture, &file);
    if (!outcome.completed()) {
        job_.ImagePath = previousPath;
        // Shown before anything else changes, so a refused picture is never the carrier.
        if (outcome.kind == OutcomeKind::Not24Bit || outcome.kind == OutcomeKind::NotUncompressed ||
            outcome.kind == OutcomeKind::UnsupportedPicture)
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
    job_.ImageKind = picture->Kind();
    job_.ImageVersion3Only = picture->CarriesVersion3Only();
    const BmpHeader* marks = picture->Marks();
    job_.HiddenMark = marks && marks->holdsData();
    capacity_.kilobytes = marks ? marks->capacityKilobytes() : 0;
    capacity_.safeKilobytes =
        static_cast<std::int64_t>(
            stealth::StealthCapacity::SafeFile(picture->LookSamples()).value_or(0)) /
        carrier::kCapacityUnit;
    if (marks && marks->holdsData()) {
        ShowHiddenData(*marks);
        return;
    }
    view_.SetCaption(Caption::Labtmp, texts::kNoHidden);
    view_.SetCaption(Caption::labfinish, "");
    ShowCapacity();
}

void CarrierSelection::ShowHiddenData(const BmpHeader& header) {
    view_.SetCaption(Caption::Labtmp, texts::kHoldsHidden);
    view_.SetCaption(Caption::labfinish, "");
    job_.MsgExt = header.SafeExtension();
    job_.OutFile = stored_names::OutputFileFor(job_.OutPath, job_.MsgExt);
    view_.SetCaption(Caption::LabCue2, texts::kExtractTo + job_.OutFile);
}

// With the no-trace option the hint is the size that stays hard to detect, not the most that
// fits.
void CarrierSelection::ShowCapacity() {
    // A picture that carries nothing but version 3 always hints at the safe size.
    bool stealth = job_.ImageVersion3Only || ChosenFormat(view_) == 3;
    std::int64_t kilobytes = stealth ? capacity_.safeKilobytes : capacity_.kilobytes;
    view_.SetCaption(Caption::LabCue2,
                     texts::kCapacityBefore + std::to_string(kilobytes) + texts::kCapacityAfter);
}

void CarrierSelection::RefreshCapacity() {
    if (job_.ImagePath.empty() || job_.HiddenMark || !job_.MsgPath.empty()) return;
    ShowCapacity();
}

}  // namespace velquist
