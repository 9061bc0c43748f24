// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "engine/ExtractPass.h"
#include "engine/Extraction.h"
#include "engine/crypto/SecretBytes.h"
#include "engine/format/BmpHeader.h"

namespace velquist {

class PendingOutput;

// Taking out a message of version 1 or 2, which a marker word in the BMP's header announces:
// the extraction pass over the groups, with the stored password or the key of version 2, and
// the wipe in place.
class ExtractionJob final : public Extraction {
public:
    // Takes over the carrier open and locked as file 1 for `picture`, whose header, read under
    // that lock, is `header`.
    ExtractionJob(PassContext& ctx, PictureRequest picture, const BmpHeader& header);
    ~ExtractionJob() override;

    // Whether the marked data is a message this program reads: Completed, OtherVersion for
    // another format version, Damaged for one that cannot be there at all.
    Outcome Check() const;
    const BmpHeader& header() const { return header_; }

    // "output." and the stored extension.
    std::string OutputFile(const std::string& folder) const override;
    // A protected version-1 carrier and every version-2 carrier ask for the password.
    bool NeedsPassword() const override;
    bool PasswordDerivesKey() const override { return header_.isVersion2(); }
    // Version 1: whether `entered` is the stored password. Version 2 stores none: the password
    // is kept for Run, where the first piece that does not open tells a wrong one.
    bool AcceptPassword(const SecretBytes& entered) override;
    // Runs the extraction pass on the stored length.
    Outcome Run(const std::string& outFile) override;
    Outcome Wipe() override;
    void Close() noexcept override;

private:
    Outcome RunPass(const std::string& outFile);
    void RunSealed(const PayloadSink& write);

    BmpHeader header_;
    SecretBytes password_;
    std::unique_ptr<PendingOutput> output_;
};

}  // namespace velquist
