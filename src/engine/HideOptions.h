// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/crypto/SecretBytes.h"

namespace velquist {

enum class Protection { None, Password };

// How a hide protects the message, chosen by the window's check boxes or the command line's
// options and handed to the pass as a value. Version 1 keeps a password in clear in the header
// group; version 2 encrypts the message with a key derived from it and stores none; version 3
// also hides that there is a message at all. A hide without a password is always version 1.
struct HideOptions {
    Protection protection = Protection::None;
    int formatVersion = 1;
    SecretBytes password;

    bool encrypted() const { return protection == Protection::Password && formatVersion == 2; }
};

}  // namespace velquist
