// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OutcomeReport.h"

#include <cstring>
#include <string>

#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/Localization.h"
#include "cli/PictureKindWords.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

ExitCode CodeFor(const Outcome& o) {
    switch (o.kind) {
        case OutcomeKind::Completed: return ExitCode::Ok;
        case OutcomeKind::Damaged:
        case OutcomeKind::Not24Bit:
        case OutcomeKind::NotUncompressed:
        case OutcomeKind::UnsupportedPicture:
        case OutcomeKind::CarrierGone:
        case OutcomeKind::CarrierReplaced: return ExitCode::BadPicture;
        case OutcomeKind::NeedsFormat3: return ExitCode::Usage;
        case OutcomeKind::TooLarge:
        case OutcomeKind::NoData:
        case OutcomeKind::HoldsData:
        case OutcomeKind::OtherVersion:
        case OutcomeKind::WrongPassword:
        case OutcomeKind::Busy:
        case OutcomeKind::OutputIsCarrier: return ExitCode::Refused;
        case OutcomeKind::CarrierFailure:
        case OutcomeKind::StealthFailure:
        case OutcomeKind::RewriteFailure:
            // A picture that is no file at all is unusable; one that may not be rewritten is
            // refused; a failing read or write is an input/output failure.
            if (o.cause == FileCause::NotRegular) return ExitCode::BadPicture;
            if (o.cause == FileCause::OtherLinks || o.cause == FileCause::OwnerNotKept)
                return ExitCode::Refused;
            return ExitCode::IoFailure;
        case OutcomeKind::MessageFailure:
        case OutcomeKind::OutputFailure:
        case OutcomeKind::NoMemory:
        case OutcomeKind::NoMemoryToWrite: break;
    }
    return ExitCode::IoFailure;
}

// The message id of each message.
const char* TextFor(OutcomeMessage message, PictureKind kind) {
    using M = OutcomeMessage;
    switch (message) {
        case M::None: break;
        case M::TooLarge: return kTooLarge;
        case M::Damaged: return kDamaged;
        case M::Not24Bit: return kNot24Bit;
        case M::NotUncompressed: return kNotUncompressed;
        case M::UnsupportedPicture: return WordsOf(kind).unsupported;
        case M::NeedsFormat3: return WordsOf(kind).needsFormat3;
        case M::NoHidden: return kNoHidden;
        case M::NothingToExtract: return kNothingToExtract;
        case M::HoldsData: return kHideHasData;
        case M::OtherVersion: return kOtherVersion;
        case M::WrongPassword: return kWrongPassword;
        case M::Busy: return kCarrierBusy;
        case M::OutputIsCarrier: return kOutputIsCarrier;
        case M::NoMemoryForPassword: return kNoMemory;
        case M::NoMemoryToWrite: return kNoMemoryToWrite;
        case M::CarrierGone: return kCarrierGone;
        case M::CarrierReplaced: return kCarrierReplaced;
        case M::CannotOpenPicture: return kCannotOpenPicture;
        case M::EmbedFailed: return kEmbedFailed;
        case M::StealthHideFailed: return kStealthHideFailed;
        case M::RewriteFailed: return kRewriteFailed;
        case M::WipeFailed: return kWipeFailed;
        case M::ExtractFailed: return kExtractFailed;
        case M::MessageUnreadable: return kMessageUnreadable;
    }
    return "";
}

const char* CauseText(FileCause cause) {
    switch (cause) {
        case FileCause::NoSpace: return kCauseNoSpace;
        case FileCause::TooLarge: return kCauseTooLarge;
        case FileCause::FolderMissing: return kCauseFolderMissing;
        case FileCause::PermissionDenied: return kCausePermission;
        case FileCause::NotFound: return kCauseNotFound;
        case FileCause::NotRegular: return kCauseNotRegular;
        case FileCause::Changed: return kCauseChanged;
        case FileCause::Busy: return kCauseBusy;
        case FileCause::Replaced: return kCauseReplaced;
        case FileCause::OtherLinks: return kCauseOtherLinks;
        case FileCause::OwnerNotKept: return kCauseOwnerNotKept;
        case FileCause::AclNotKept: return kCauseAclNotKept;
        case FileCause::AttributesNotKept: return kCauseAttributesNotKept;
        case FileCause::Other: break;
    }
    return nullptr;
}

// "FILE: cause", as the window's second line says it.
std::string CauseLine(const Outcome& o) {
    const char* cause = CauseText(o.cause);
    std::string text = cause ? Tr(cause) : o.error != 0 ? std::strerror(o.error) : "";
    return text.empty() ? o.path : o.path + Tr(kCauseSeparator) + text;
}

}  // namespace

ExitCode Report(CliSession& session, CarrierCommand command, const Outcome& outcome) {
    OutcomeWords words = WordsFor(command, outcome);
    if (words.message == OutcomeMessage::None) return ExitCode::Ok;
    session.Tell(TextFor(words.message, outcome.picture));
    if (words.namesFile && !outcome.path.empty()) session.console.Say(CauseLine(outcome));
    return CodeFor(outcome);
}

}  // namespace velquist::cli
