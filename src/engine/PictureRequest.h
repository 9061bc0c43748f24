// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "engine/crypto/SecretBytes.h"
#include "platform/FileService.h"

namespace velquist {

// The picture a command works on: its name, and the file that name led to when the user chose
// it (inode 0: whatever it leads to now). A command that finds another file there refuses it.
struct PictureRequest {
    std::string path;
    PathFacts expected;
};

// What a hide is asked to do: into which picture, which message file, and the extension versions
// 1 and 2 store for it (three characters).
struct HideRequest {
    PictureRequest picture;
    std::string message;
    std::string extension;
};

// Asked for the passphrase of a picture without a marker word, only once the picture shows none;
// nothing means look for no version-3 message.
using PassphraseSource = std::function<std::optional<SecretBytes>()>;

}  // namespace velquist
