// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>

#include "engine/CarrierPicture.h"
#include "engine/HideOptions.h"
#include "engine/PassContext.h"
#include "engine/PictureRequest.h"
#include "engine/format/BmpHeader.h"
#include "engine/format/Outcome.h"

namespace velquist {

// The file side of hiding a message, shared by the window and the command line. The picture
// the request names is opened for writing as file 1 and locked from Open to the end, so the
// caller can ask its questions (a password) between the steps and the picture checked is the
// picture written:
//   Open -> (questions) -> Run -> Close.
// Versions 1 and 2: Run writes the header group without a password, every group, a flush,
// then the password and the marker word and another flush: a carrier never claims a message it
// does not wholly hold, even after a power cut, and the password stands in the picture only
// for the moment before the marker word. Until that last flush a signal ending the process
// takes both back. Version 3 changes sample values only, each by exactly 1, writes back just
// the changed ones and flushes them; it leaves no marker.
// How a version-3 message weighs against the opened picture: within the size detectors miss,
// past it, or past what the picture carries at all; unknown when the message cannot be sized.
struct StealthWeight {
    enum class Fit { Safe, Detectable, TooLarge, Unknown } fit = Fit::Unknown;
    std::uint64_t safeBytes = 0;  // the largest message under its name that stays safe
};

class HideJob {
public:
    HideJob(PassContext& ctx, HideRequest request);
    ~HideJob();
    HideJob(const HideJob&) = delete;
    HideJob& operator=(const HideJob&) = delete;

    // Opens and locks the carrier and checks under the lock that it is usable and holds no data.
    Outcome Open();
    // Whether the opened picture takes a hide in `formatVersion` (a PNG takes version 3 only).
    Outcome TakesFormat(int formatVersion) const;
    // Weighs the message file for a version-3 hide into the opened picture, which it decodes for
    // that (once: the hide works on the same samples).
    StealthWeight WeighStealth();
    // True between a completed Open and the end of Run.
    bool IsOpen() const;
    // Hides the message file as `options` ask, after checking that it fits; whatever goes wrong
    // after the first write is retracted.
    Outcome Run(const HideOptions& options);
    // After a completed Run: whether the picture now shows a marker word (versions 1 and 2), and
    // what its file is when it was written anew beside the old one.
    bool Marked() const { return marked_; }
    std::optional<PathFacts> Rewritten() const { return rewritten_; }
    void Close() noexcept;

private:
    Outcome Write(const HideOptions& options);
    Outcome WriteStealth(const HideOptions& options, std::int64_t length);
    void WriteSealed(const HideOptions& options, std::int64_t length);
    void WritePlain(const HideOptions& options, std::int64_t length);
    void WriteGroupsThenClaim(std::uint32_t marker, const HideOptions& options);
    void Retract() noexcept;

    PassContext& ctx_;
    HideRequest request_;
    std::unique_ptr<CarrierPicture> picture_;
    std::int64_t offBits_ = 0;  // O, where the header group and the groups start
    // A version-3 hide is under way, and deriving its keys: running out of memory then is the
    // key derivation's, at any other step the decode's, the embedder's or the encoder's.
    bool stealth_ = false;
    bool deriving_ = false;
    bool headerWritten_ = false;
    bool claimWritten_ = false;
    bool marked_ = false;
    std::optional<PathFacts> rewritten_;
};

}  // namespace velquist
