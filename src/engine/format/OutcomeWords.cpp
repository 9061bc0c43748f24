// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/format/OutcomeWords.h"

namespace velquist {

namespace {

using M = OutcomeMessage;

// A failed file operation on the picture or the output, as each command words it.
M FailureOf(CarrierCommand command) {
    switch (command) {
        case CarrierCommand::Inspect: return M::CannotOpenPicture;
        case CarrierCommand::Hide: return M::EmbedFailed;
        case CarrierCommand::Extract: return M::ExtractFailed;
        case CarrierCommand::Wipe: break;
    }
    return M::WipeFailed;
}

}  // namespace

OutcomeWords WordsFor(CarrierCommand command, const Outcome& o) {
    switch (o.kind) {
        case OutcomeKind::Completed: return {M::None};
        case OutcomeKind::TooLarge: return {M::TooLarge};
        case OutcomeKind::Damaged: return {M::Damaged};
        case OutcomeKind::Not24Bit: return {M::Not24Bit};
        case OutcomeKind::NotUncompressed: return {M::NotUncompressed};
        case OutcomeKind::UnsupportedPicture: return {M::UnsupportedPicture};
        case OutcomeKind::NeedsFormat3: return {M::NeedsFormat3};
        case OutcomeKind::NoData:
            return {command == CarrierCommand::Extract ? M::NothingToExtract : M::NoHidden};
        case OutcomeKind::HoldsData: return {M::HoldsData};
        case OutcomeKind::OtherVersion: return {M::OtherVersion};
        case OutcomeKind::WrongPassword: return {M::WrongPassword};
        case OutcomeKind::Busy: return {M::Busy};
        case OutcomeKind::OutputIsCarrier: return {M::OutputIsCarrier};
        case OutcomeKind::NoMemory: return {M::NoMemoryForPassword};
        case OutcomeKind::NoMemoryToWrite: return {M::NoMemoryToWrite};
        case OutcomeKind::CarrierReplaced: return {M::CarrierReplaced};
        case OutcomeKind::CarrierGone:
            // A picture that was never there is one that cannot be opened.
            return {command == CarrierCommand::Inspect ? M::CannotOpenPicture : M::CarrierGone, true};
        case OutcomeKind::CarrierFailure:
            // A folder or a device where the picture should be: it cannot be opened at all.
            if (o.cause == FileCause::NotRegular) return {M::CannotOpenPicture, true};
            return {FailureOf(command), true};
        case OutcomeKind::StealthFailure: return {M::StealthHideFailed, true};
        case OutcomeKind::RewriteFailure: return {M::RewriteFailed, true};
        case OutcomeKind::MessageFailure: return {M::MessageUnreadable, true};
        case OutcomeKind::OutputFailure: return {FailureOf(command), true};
    }
    return {M::Damaged};
}

}  // namespace velquist
