// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

// What a pass is doing, as it reports it. Each front end turns a status into its own words
// (the window's status caption, the command line's progress label).
enum class PassStatus {
    Embedding,          // writing the message into the carrier
    Extracting,         // reading the message out of the carrier
    VerifyingPassword,  // deriving the key from the password
    Embedded,           // the message is in the carrier, all of it on the disk
};

// The pass's reports: its status, and the percentage of its groups done (0 to 100), given
// only when the whole number changes.
class PassProgress {
public:
    virtual ~PassProgress() = default;
    virtual void Status(PassStatus status) = 0;
    virtual void Percent(int percent) = 0;
};

}  // namespace velquist
