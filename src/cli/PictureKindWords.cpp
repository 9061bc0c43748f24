// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PictureKindWords.h"

#include "cli/CliTexts.h"

namespace velquist::cli {

const PictureKindWords& WordsOf(PictureKind kind) {
    using namespace cli_texts;
    // A BMP takes every format, so its needs-format-3 words are never asked for; what it cannot
    // carry its header tells more precisely (not 24-bit, compressed).
    static const PictureKindWords kBmp{"bmp", kNotUncompressed, kNotUncompressed};
    static const PictureKindWords kPng{"png", kUnsupportedPng, kPngNeedsFormat3};
    switch (kind) {
        case PictureKind::Bmp: return kBmp;
        case PictureKind::Png: return kPng;
    }
    return kBmp;
}

}  // namespace velquist::cli
