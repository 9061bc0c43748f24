// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "engine/ExtractPass.h"
#include "engine/OutputTarget.h"
#include "engine/PassContext.h"
#include "engine/crypto/SecretBytes.h"
#include "engine/format/BmpHeader.h"
#include "engine/format/Outcome.h"

namespace velquist {

class PendingOutput;

// The file side of taking a message out, shared by the window and the command line. The
// carrier ImagePath is opened as file 1 (for writing too where the user may, for the wipe) and
// locked for the job's whole life; the wipe that may follow goes through that very descriptor,
// so it can only ever wipe the picture the message came out of. The caller asks its questions
// (replace the output, password) between the steps:
//   Open -> CheckOutput -> (questions) -> Run -> (questions) -> Wipe -> Close.
class ExtractionJob {
public:
    explicit ExtractionJob(PassContext& ctx);
    ~ExtractionJob();
    ExtractionJob(const ExtractionJob&) = delete;
    ExtractionJob& operator=(const ExtractionJob&) = delete;

    // Opens and locks the carrier and reads its header, the marker word among it. Under the
    // lock it checks again that the carrier holds data, in a version this program reads, that
    // can be there at all.
    Outcome Open();
    const BmpHeader& header() const { return header_; }
    // Whether the extraction may write `outFile`, and whether that replaces something. What
    // stands there now is the only thing Run may replace.
    OutputTarget CheckOutput(const std::string& outFile);
    // A protected version-1 carrier and every version-2 carrier ask for the password.
    bool NeedsPassword() const;
    // Version 1: whether `entered` is the stored password. Version 2 stores none: the password
    // is kept for Run, where the first piece that does not open tells a wrong one.
    bool AcceptPassword(const SecretBytes& entered);
    // Runs the extraction pass on the stored length into a temporary file beside `outFile`
    // and gives it that name when the pass completed, replacing only what CheckOutput saw
    // there (without CheckOutput: what stands there when the pass began).
    Outcome Run(const std::string& outFile);
    // Wipes the carrier through the descriptor this job holds locked.
    Outcome Wipe();
    // Releases the carrier; an output not yet moved into place is thrown away.
    void Close() noexcept;

private:
    Outcome RunPass(const std::string& outFile);
    Outcome RunSealed(const PayloadSink& write);

    PassContext& ctx_;
    BmpHeader header_;
    SecretBytes password_;
    std::string checkedOutput_;
    std::optional<PathFacts> agreed_;
    std::unique_ptr<PendingOutput> output_;
};

}  // namespace velquist
