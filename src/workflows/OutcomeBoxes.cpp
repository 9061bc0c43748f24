// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflows/OutcomeBoxes.h"

#include <cstring>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "workflows/WorkflowTexts.h"

namespace velquist {

namespace {

// A message's box: its prompt, its title (none: the application title shows) and its style.
struct Box {
    const char* prompt;
    const char* title = nullptr;
    int style = kStyleError;
};

// The window's words for each kind of picture file: the one place it names them.
struct PictureKindBoxes {
    Box unsupported;
    Box needsFormat3;
};

const PictureKindBoxes& KindBoxes(PictureKind kind) {
    // A BMP takes every format, so its needs-format-3 box is never asked for; what it cannot
    // carry its header tells more precisely (not 24-bit, compressed).
    static const PictureKindBoxes kBmp{{texts::kNotUncompressed, texts::kNotUncompressedTitle},
                                       {texts::kNotUncompressed, texts::kNotUncompressedTitle}};
    // Only a choice the user can change in the window itself is a warning.
    static const PictureKindBoxes kPng{{texts::kUnsupportedPng, texts::kUnsupportedPngTitle},
                                       {texts::kPngNeedsStealth, texts::kPngNeedsStealthTitle, kStyleWarning}};
    switch (kind) {
        case PictureKind::Bmp: return kBmp;
        case PictureKind::Png: return kPng;
    }
    return kBmp;
}

Box BoxFor(OutcomeMessage message, PictureKind kind) {
    using M = OutcomeMessage;
    switch (message) {
        case M::None: break;
        case M::TooLarge: return {texts::kTooLarge, texts::kTooLargeTitle};
        case M::Damaged: return {texts::kDamaged, texts::kDamagedTitle};
        case M::Not24Bit: return {texts::kNot24Bit};
        case M::NotUncompressed: return {texts::kNotUncompressed, texts::kNotUncompressedTitle};
        case M::UnsupportedPicture: return KindBoxes(kind).unsupported;
        case M::NeedsFormat3: return KindBoxes(kind).needsFormat3;
        case M::NoHidden: return {texts::kNoHidden, texts::kNothingToExtractTitle};
        case M::NothingToExtract: return {texts::kNothingToExtract, texts::kNothingToExtractTitle};
        case M::HoldsData: return {texts::kHideHasData, texts::kHideHasDataTitle};
        case M::OtherVersion: return {texts::kOtherVersion, texts::kOtherVersionTitle};
        case M::WrongPassword: return {texts::kWrongPassword, texts::kWrongPasswordTitle};
        case M::Busy: return {texts::kCarrierBusy, texts::kCarrierBusyTitle};
        case M::OutputIsCarrier: return {texts::kOutputIsCarrier, texts::kOutputIsCarrierTitle};
        case M::NoMemoryForPassword: return {texts::kNoMemory, texts::kNoMemoryTitle};
        case M::NoMemoryToWrite: return {texts::kNoMemoryToWrite, texts::kNoMemoryTitle};
        case M::CarrierGone: return {texts::kCarrierGone, texts::kCarrierChangedTitle};
        case M::CarrierReplaced: return {texts::kCarrierReplaced, texts::kCarrierChangedTitle};
        case M::CannotOpenPicture: return {texts::kCannotOpenPicture, texts::kCannotOpenPictureTitle};
        case M::EmbedFailed: return {texts::kEmbedFailed};
        case M::StealthHideFailed: return {texts::kStealthHideFailed};
        case M::RewriteFailed: return {texts::kRewriteFailed};
        case M::WipeFailed: return {texts::kWipeFailed};
        case M::ExtractFailed: return {texts::kExtractFailed};
        case M::MessageUnreadable: return {texts::kMessageUnreadable};
    }
    return {""};
}

// The window's words for a cause a user can act on; null for any other cause.
const char* CauseText(FileCause cause) {
    switch (cause) {
        case FileCause::NoSpace: return texts::kCauseNoSpace;
        case FileCause::TooLarge: return texts::kCauseTooLarge;
        case FileCause::FolderMissing: return texts::kCauseFolderMissing;
        case FileCause::PermissionDenied: return texts::kCausePermission;
        case FileCause::NotFound: return texts::kCauseNotFound;
        case FileCause::NotRegular: return texts::kCauseNotRegular;
        case FileCause::Changed: return texts::kCauseChanged;
        case FileCause::Busy: return texts::kCauseBusy;
        case FileCause::Replaced: return texts::kCauseReplaced;
        case FileCause::OtherLinks: return texts::kCauseOtherLinks;
        case FileCause::OwnerNotKept: return texts::kCauseOwnerNotKept;
        case FileCause::AclNotKept: return texts::kCauseAclNotKept;
        case FileCause::AttributesNotKept: return texts::kCauseAttributesNotKept;
        case FileCause::Other: break;
    }
    return nullptr;
}

// "FILE：cause" for a failed file operation.
std::string CauseLine(const Outcome& outcome) {
    if (outcome.path.empty()) return "";
    const char* cause = CauseText(outcome.cause);
    if (!cause && outcome.error != 0) cause = std::strerror(outcome.error);
    if (!cause) return outcome.path;
    return outcome.path + texts::kCauseSeparator + cause;
}

}  // namespace

void ShowOutcome(Platform& platform, CarrierCommand command, const Outcome& outcome) {
    OutcomeWords words = WordsFor(command, outcome);
    if (words.message == OutcomeMessage::None) return;
    Box box = BoxFor(words.message, outcome.picture);
    std::string prompt = box.prompt;
    std::string cause = words.namesFile ? CauseLine(outcome) : "";
    if (!cause.empty()) prompt += "\n" + cause;
    std::optional<std::string> title;
    if (box.title) title = box.title;
    platform.MsgBox(prompt, box.style, title);
}

}  // namespace velquist
