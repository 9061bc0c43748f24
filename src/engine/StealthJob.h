// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "engine/CarrierPicture.h"
#include "engine/Extraction.h"
#include "engine/crypto/SecretBytes.h"
#include "engine/stealth/StealthKeys.h"

namespace velquist {

// Taking a version-3 message out of a picture, and wiping it. Unlike versions 1 and 2 the
// passphrase comes first, since only it says whether there is a message and under which name
// it was hidden: Find, then the protocol of every extraction.
class StealthJob final : public Extraction {
public:
    // Takes over `carrier`, open and locked as file 1 for `picture`, which holds no marker word
    // and whose samples all lie in the file.
    StealthJob(PassContext& ctx, PictureRequest picture, std::unique_ptr<CarrierPicture> carrier);
    ~StealthJob() override;

    // Decodes the picture, derives the keys and looks for a message. NoData when the passphrase
    // finds none, exactly as in a clean picture; Damaged when one was found but does not
    // authenticate. A found message is opened whole, nothing of it written yet.
    Outcome Find(const SecretBytes& passphrase);
    // The name the message was hidden under, made safe for a file name, in `folder`.
    std::string OutputFile(const std::string& folder) const override;
    Outcome Run(const std::string& outFile) override;
    // Rewrites the message's samples as a hide of as many random bytes would: without the
    // passphrase, nobody can tell the picture ever carried this message.
    Outcome Wipe() override;
    std::optional<PathFacts> Rewritten() const override { return rewritten_; }
    void Close() noexcept override;

private:
    Outcome Look(const SecretBytes& passphrase);

    std::unique_ptr<CarrierPicture> carrier_;
    std::optional<stealth::StealthKeys> keys_;
    std::uint32_t payloadLength_ = 0;
    std::string name_;
    // The message taken out, until it is written: held as a secret, and wiped when let go.
    SecretBytes file_;
    std::optional<PathFacts> rewritten_;
};

}  // namespace velquist
