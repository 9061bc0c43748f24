// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/format/Outcome.h"

namespace velquist {

// The commands on a picture, each with its own words for a failed file operation.
enum class CarrierCommand { Inspect, Hide, Extract, Wipe };

// Which message tells how a command ended. Decided here once for the window and the command
// line alike; each words it in its own table (the window's fixed texts, the command line's
// catalog).
enum class OutcomeMessage {
    None,               // the command completed
    TooLarge,
    Damaged,
    Not24Bit,
    NotUncompressed,
    UnsupportedPicture,  // worded for the outcome's kind of picture
    NeedsFormat3,        // worded for the outcome's kind of picture
    NoHidden,           // a look or a wipe found no hidden data
    NothingToExtract,
    HoldsData,
    OtherVersion,
    WrongPassword,
    Busy,
    OutputIsCarrier,
    NoMemoryForPassword,
    NoMemoryToWrite,
    CarrierGone,
    CarrierReplaced,
    CannotOpenPicture,
    EmbedFailed,        // the embedding pass of versions 1 and 2, writing a BMP in place
    StealthHideFailed,  // a version-3 hide, writing the picture's samples
    RewriteFailed,      // writing a picture anew beside itself; the old one is left whole
    WipeFailed,
    ExtractFailed,
    MessageUnreadable,
};

struct OutcomeWords {
    OutcomeMessage message = OutcomeMessage::None;
    // A second line names the file concerned and why the operation failed.
    bool namesFile = false;
};

OutcomeWords WordsFor(CarrierCommand command, const Outcome& outcome);

}  // namespace velquist
