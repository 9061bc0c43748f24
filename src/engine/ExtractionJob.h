// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <span>
#include <string>

#include "engine/ExtractPass.h"
#include "engine/OutputTarget.h"
#include "engine/PassContext.h"
#include "engine/format/CarrierHeader.h"
#include "engine/format/Outcome.h"

namespace velquist {

class PendingOutput;

// The file side of taking a message out, shared by the window and the command line. The
// carrier ImagePath is opened read-only as file 1 and locked for the job's whole life, the
// wipe that may follow included. The caller asks its questions (replace the output,
// password) between the steps:
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
    const CarrierHeader& header() const { return header_; }
    // Whether the extraction may write `outFile`, and whether that replaces something.
    OutputTarget CheckOutput(const std::string& outFile);
    // A protected version-1 carrier and every version-2 carrier ask for the password.
    bool NeedsPassword() const;
    // Version 1: whether `entered` is the stored password. Version 2 stores none: the password
    // is kept for Run, where the first piece that does not open tells a wrong one.
    bool AcceptPassword(const std::string& entered);
    // Runs the extraction pass on the stored length into a temporary file beside `outFile`
    // and moves it into place when the pass completed.
    Outcome Run(const std::string& outFile);
    // Wipes the carrier under the lock this job holds.
    Outcome Wipe();
    // Releases the carrier; an output not yet moved into place is thrown away.
    void Close() noexcept;

private:
    Outcome RunPass(const std::string& outFile);
    Outcome RunSealed(const PayloadSink& write);

    PassContext& ctx_;
    CarrierHeader header_;
    std::string password_;
    std::unique_ptr<PendingOutput> output_;
};

}  // namespace velquist
