// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/CarrierPicture.h"
#include "engine/OutputTarget.h"
#include "engine/PassContext.h"
#include "engine/crypto/SecretBytes.h"
#include "engine/format/Outcome.h"
#include "engine/stealth/StealthKeys.h"

namespace velquist {

// Taking a version-3 message out of a picture, and wiping it, for the window and the command
// line. The carrier ImagePath is opened as file 1 (for writing too where the user may, for the
// wipe) and locked for the job's whole life. Unlike versions 1 and 2 the passphrase comes
// first, since only it says whether there is a message and under which name it was hidden:
//   Open(passphrase) -> CheckOutput -> (questions) -> Run -> (questions) -> Wipe -> Close.
class StealthJob {
public:
    explicit StealthJob(PassContext& ctx);
    ~StealthJob();
    StealthJob(const StealthJob&) = delete;
    StealthJob& operator=(const StealthJob&) = delete;

    // Opens and locks the carrier, derives the keys and looks for a message. NoData when the
    // passphrase finds none, exactly as in a clean picture; Damaged when one was found but does
    // not authenticate. A found message is opened whole, nothing of it written yet.
    Outcome Open(const SecretBytes& passphrase);
    // The name the message was hidden under, made safe for a file name.
    const std::string& StoredName() const { return name_; }
    // Whether the extraction may write `outFile`, and whether that replaces something.
    OutputTarget CheckOutput(const std::string& outFile);
    // Writes the message to `outFile` through a temporary file, replacing only what
    // CheckOutput saw there.
    Outcome Run(const std::string& outFile);
    // Rewrites the message's samples as a hide of as many random bytes would: without the
    // passphrase, nobody can tell the picture ever carried this message.
    Outcome Wipe();
    void Close() noexcept;

private:
    Outcome Find(const SecretBytes& passphrase);

    PassContext& ctx_;
    std::unique_ptr<CarrierPicture> carrier_;
    std::optional<stealth::StealthKeys> keys_;
    std::uint32_t payloadLength_ = 0;
    std::string name_;
    std::vector<std::uint8_t> file_;
    std::string checkedOutput_;
    std::optional<PathFacts> agreed_;
};

// The wipe command for version 3: opens and locks the picture for writing, finds the message
// `passphrase` opens, and wipes it; NoData when there is none.
Outcome WipeStealthData(PassContext& ctx, const SecretBytes& passphrase);

}  // namespace velquist
