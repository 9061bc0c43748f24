// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "engine/format/PictureKind.h"
#include "platform/FileService.h"

namespace velquist {

// What the window's handlers and the passes share for the whole run: the user's choices,
// whether the current carrier holds data, and the pass's working words. Every field starts
// zero or empty; start-up gives the few start values. A pass takes its options as values
// (HideOptions), not from here.
struct JobState {
    // User choices and options.
    std::string ImagePath;
    // The file ImagePath named when it was inspected (inode 0 when nobody looked): a command
    // that finds another file there refuses to act on it.
    PathFacts ImageFile;
    // What kind of picture that file is, and whether that kind carries format version 3 only.
    PictureKind ImageKind = PictureKind::Bmp;
    bool ImageVersion3Only = false;
    std::string MsgPath;
    std::string MsgExt;
    std::string OutPath;   // always ends with the folder separator
    std::string OutFile;   // OutPath + "output." + MsgExt
    std::int16_t ClearBmp = 0;  // -1 true, 0 false

    // Non-zero while the current carrier holds hidden data: the marker word read from it, or
    // 1 after this program hid data in it; 0 after a wipe.
    std::int32_t HiddenMark = 0;

    // The pass's working words: the payload bytes the groups carry, the pixel-data offset O,
    // and the progress over the whole groups.
    std::int32_t MsgLen = 0;
    std::int32_t OffBits = 0;
    std::int32_t GroupNo = 0;
    std::int32_t GroupCount = 0;
    double Percent = 0.0;
};

}  // namespace velquist
