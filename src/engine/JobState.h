// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "engine/format/PictureKind.h"
#include "platform/FileService.h"

namespace velquist {

// What the window's handlers share for the whole run: the user's choices and whether the
// current carrier holds data. Every field starts zero or empty; start-up gives the few start
// values. A command hands the engine what it needs of these as a request value (PictureRequest,
// HideRequest) and its options as values (HideOptions); no pass reads or writes them.
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
    bool ClearBmp = false;  // wipe the picture after an extraction

    // True while the current carrier shows hidden data: its marker word is not 0, or this
    // program just hid data in it behind one; false after a wipe.
    bool HiddenMark = false;
};

}  // namespace velquist
