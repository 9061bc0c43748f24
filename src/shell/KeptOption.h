// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace velquist {

class Platform;

// A check box kept between runs in the settings store: its state 0 (off) or 1 (on), stored
// as that decimal text under the option's own key. Read at start-up, written only by the
// exit button.
class KeptOption {
public:
    static constexpr const char* kApplication = "Qelto";
    static constexpr const char* kSection = "Lumicrest";

    constexpr KeptOption(const char* key, const char* defaultText) : key_(key), default_(defaultText) {}

    const char* Key() const { return key_; }
    const char* Default() const { return default_; }
    int Read(Platform& platform) const;
    void Write(Platform& platform, int state) const;
    // A stored text other than "0" or "1" was not written by this program: a whole number
    // other than 0 counts as on, anything else as off.
    static int StateOf(const std::string& text);

private:
    const char* key_;
    const char* default_;
};

// Whether extraction wipes the hidden data afterwards.
inline constexpr KeptOption kClearBmpOption{"clearBMP", "0"};
// Whether a protected hide encrypts the message: on unless the user turned it off, so that a
// password protects the message rather than being stored in clear beside it.
inline constexpr KeptOption kEncryptOption{"encrypt", "1"};
// Whether an encrypted hide also hides that there is a message (carrier format version 3).
inline constexpr KeptOption kStealthOption{"stealth", "0"};

}  // namespace velquist
