// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "engine/OutputTarget.h"
#include "engine/PassContext.h"
#include "engine/PictureRequest.h"
#include "engine/crypto/SecretBytes.h"
#include "engine/format/Outcome.h"
#include "platform/FileService.h"

namespace velquist {

// Taking a message out of a picture, whichever format hides it: the protocol the window and the
// command line follow. The picture is opened once, for writing too where the user may, and
// stays locked from the first check to Close; the wipe that may follow goes through that very
// descriptor, so it can only ever wipe the picture the message came out of. The caller asks its
// questions (replace the output, the password) between the steps:
//   OpenForExtraction (OpenedExtraction.h) -> OutputFile -> CheckOutput -> (questions)
//   -> AcceptPassword -> Run -> (questions) -> Wipe -> Close.
class Extraction {
public:
    virtual ~Extraction() = default;
    Extraction(const Extraction&) = delete;
    Extraction& operator=(const Extraction&) = delete;

    // Where the message goes in the output folder `folder` (which ends with the separator).
    virtual std::string OutputFile(const std::string& folder) const = 0;
    // Whether the extraction may write `outFile`, and whether that replaces something. What
    // stands there now is the only thing Run may replace.
    OutputTarget CheckOutput(const std::string& outFile);
    // Whether a password is still to be asked for, and whether it derives a key (version 2)
    // rather than being held against one stored in the picture (version 1). A version-3
    // message was found with its passphrase and asks for none.
    virtual bool NeedsPassword() const { return false; }
    virtual bool PasswordDerivesKey() const { return false; }
    // False when `entered` is certainly not the password; a key's password is told wrong by Run.
    virtual bool AcceptPassword(const SecretBytes&) { return true; }
    // Writes the message to `outFile` through a temporary file beside it and gives it that name
    // once all of it is there, replacing only what CheckOutput saw there (without CheckOutput:
    // what stands there when Run begins).
    virtual Outcome Run(const std::string& outFile) = 0;
    // Leaves nothing of the message in the picture.
    virtual Outcome Wipe() = 0;
    // What the picture's file is after a wipe wrote it anew beside the old one; nothing while it
    // is the file that was opened.
    virtual std::optional<PathFacts> Rewritten() const { return std::nullopt; }
    // Releases the picture; an output not yet in place is thrown away.
    virtual void Close() noexcept = 0;

protected:
    Extraction(PassContext& ctx, PictureRequest picture)
        : ctx_(ctx), picture_(std::move(picture)) {}
    // CheckOutput's answer for `outFile`, checked now when it was not before.
    Outcome CheckedOutput(const std::string& outFile);
    // What CheckOutput found standing at the output name: the only thing a commit may replace.
    const std::optional<PathFacts>& Agreed() const { return agreed_; }

    PassContext& ctx_;
    PictureRequest picture_;

private:
    std::string checkedOutput_;
    std::optional<PathFacts> agreed_;
};

}  // namespace velquist
