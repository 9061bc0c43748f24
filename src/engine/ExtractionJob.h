#pragma once

#include <memory>
#include <string>

#include "engine/CarrierHeader.h"
#include "engine/PassContext.h"

namespace velquist {

class PendingOutput;

// The file side of taking a message out: the carrier opened read-only as file 1, the output
// as a pending file 2 that replaces OutFile only when the pass completed. The caller asks
// its questions (version, password) between Open and Run.
class ExtractionJob {
public:
    explicit ExtractionJob(PassContext& ctx);
    ~ExtractionJob();
    ExtractionJob(const ExtractionJob&) = delete;
    ExtractionJob& operator=(const ExtractionJob&) = delete;

    // Opens both files and reads the carrier's header; MsgLen gets the marker word.
    // Throws FileError with nothing left open or created.
    void Open(const std::string& outFile);
    const CarrierHeader& header() const { return header_; }
    // Runs the extraction pass on the stored length and, when it completed, moves the output
    // into place. A failure has been reported in a box when this returns Failed.
    PassResult Run();
    // Closes both files; an output not yet moved into place is thrown away.
    void Close() noexcept;

private:
    PassContext& ctx_;
    CarrierHeader header_;
    std::unique_ptr<PendingOutput> output_;
};

}  // namespace velquist
