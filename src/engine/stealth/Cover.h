// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace velquist::stealth {

class FreeChoices;

// A carrier as the coding core sees it: n samples in cover order, each with a lowest bit, a
// price for changing it and a way to change it by one. The keyed order, the parity header, the
// segment plan, the trellis, the payload and the wipe know nothing else of the picture: a
// picture's colour samples and a JPEG's quantised coefficients are two covers.
//
// The cover keeps the plan, the set of samples the hide will flip, since what a flip costs may
// depend on the other flips planned near it. The core asks for a segment's prices under the
// plan so far, a segment at a time (its samples come in keyed order, scattered over the
// picture, so the cover fetches its own memory ahead), names the samples to flip, and at the
// end has the cover make every planned flip a change of +1 or -1 within the sample's range.
class Cover {
public:
    virtual ~Cover() = default;

    // n, below 2^32.
    virtual std::uint64_t Size() const = 0;
    // Bit i % 64 of packed[i / 64] becomes the lowest bit of sample i; `packed` has
    // Size() / 64 + 1 words, all 0 on the call. May use up to `threads` threads.
    virtual void LowestBits(std::span<std::uint64_t> packed, unsigned threads) const = 0;

    // Prices every change, once, before anything is planned; reading a message needs no prices.
    // May use up to `threads` threads. Throws std::bad_alloc.
    virtual void PrepareCosts(unsigned threads) = 0;

    // How many passes may lower a plan's cost after its first coding, each coding the body again
    // with only some samples free: 0 where each flip is priced on its own, so coding again
    // gains nothing.
    virtual unsigned RefinementPasses() const { return 0; }

    // For each of `samples` (a segment's or a header group's, in keyed order): flipped[k] is 1
    // when the plan flips it, and costs[k] what toggling that costs given the plan: negative
    // where the toggle gains, as undoing a flip may. +infinity where the sample may not toggle:
    // one that never changes (it would be seen), or in refinement pass p (1 ..
    // RefinementPasses()) one the pass holds. Pass 0 is the first coding, and the header's,
    // where only samples that never change are held.
    virtual void ToggleCosts(std::span<const std::uint32_t> samples, unsigned pass,
                             std::span<std::uint8_t> flipped, std::span<float> costs) const = 0;

    // The plan. Toggle and PlanNextFlip may run on several threads at once, each thread with
    // samples of its own.
    virtual void ClearPlan() = 0;
    virtual void Toggle(std::uint32_t sample) = 0;
    // Plans a flip for after AdvancePlan; a sample not named then does not flip.
    virtual void PlanNextFlip(std::uint32_t sample) = 0;
    virtual void AdvancePlan(unsigned threads) = 0;

    // Makes each planned flip a change of +1 or -1 within the sample's range and returns the
    // indices of the changed samples in ascending order. Where the cover may go either way, the
    // way is drawn from `choices`, so that one seed repeats a whole hide.
    virtual std::vector<std::uint32_t> ApplyPlan(FreeChoices& choices) = 0;
};

}  // namespace velquist::stealth
