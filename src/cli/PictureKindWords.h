// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/format/PictureKind.h"

namespace velquist::cli {

// What the command line says of each kind of picture file: the one place it names them.
struct PictureKindWords {
    const char* fileName;      // inspect's "picture file", for scripts too
    const char* unsupported;   // message id: a picture of this kind that cannot carry
    const char* needsFormat3;  // message id: another format asked of a kind that takes 3 only
};

const PictureKindWords& WordsOf(PictureKind kind);

}  // namespace velquist::cli
