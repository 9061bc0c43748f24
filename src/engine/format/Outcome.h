// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "engine/format/PictureKind.h"
#include "platform/FileError.h"

namespace velquist {

// How a command on a carrier ended. The passes and checks report it; which message tells it is
// decided once (OutcomeWords), and each front end words that message (the window's box, the
// command line's message and exit status).
enum class OutcomeKind {
    Completed,
    TooLarge,          // the message does not fit the picture or the 24-bit length field
    Damaged,           // the picture's header or payload cannot be what it claims
    Not24Bit,          // the picture is not 24 bits per pixel
    NotUncompressed,   // a compressed picture, or a header without a compression field
    UnsupportedPicture,  // a picture of a kind that cannot carry (a PNG not 8-bit RGB or RGBA, ...)
    NeedsFormat3,      // a picture that carries format version 3 only, and another was asked for
    NoData,            // the picture holds no hidden data (any more)
    HoldsData,         // the picture holds hidden data (by now)
    OtherVersion,      // a carrier format this program does not read
    WrongPassword,
    Busy,              // another program holds the picture's lock
    OutputIsCarrier,   // the output name is the picture itself
    CarrierGone,       // the picture is no longer where it was chosen
    CarrierReplaced,   // another file now stands where the chosen picture was
    CarrierFailure,    // a file operation on the picture failed
    StealthFailure,    // a file operation on the picture failed in a version-3 hide
    RewriteFailure,    // writing the picture anew beside itself failed; the old one is whole
    MessageFailure,    // a file operation on the message file failed
    OutputFailure,     // a file operation on the output file or its folder failed
    NoMemory,          // the key derivation found no memory, or the cryptography did not start
    NoMemoryToWrite,   // the embedder or the picture's encoder found no memory
};

struct Outcome {
    OutcomeKind kind = OutcomeKind::Completed;
    std::string path;                     // the file concerned, where there is one
    FileCause cause = FileCause::Other;   // for the failures: why, as the user can act on it
    int error = 0;                        // the system's error number, 0 when none
    // The kind of the picture an UnsupportedPicture or NeedsFormat3 is about.
    PictureKind picture = PictureKind::Bmp;

    bool completed() const { return kind == OutcomeKind::Completed; }
    static Outcome Of(OutcomeKind kind, std::string path = {}) {
        return Outcome{kind, std::move(path), FileCause::Other, 0, PictureKind::Bmp};
    }
    // An outcome about the picture `path` of kind `picture`.
    static Outcome About(OutcomeKind kind, PictureKind picture, std::string path) {
        return Outcome{kind, std::move(path), FileCause::Other, 0, picture};
    }
    // A failed file operation, told as a failure of `kind` on the file `path`.
    static Outcome Failure(OutcomeKind kind, const FileError& e, const std::string& path) {
        return Outcome{kind, path, e.cause(), e.error(), PictureKind::Bmp};
    }
};

}  // namespace velquist
