// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/BodyWriter.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/stealth/Cover.h"
#include "engine/stealth/LargeArray.h"
#include "engine/stealth/ParallelTasks.h"
#include "engine/stealth/ParityHeader.h"
#include "engine/stealth/ProgressReport.h"
#include "engine/stealth/ViterbiEmbedder.h"

namespace velquist::stealth {

// One thread's embedder and buffers, reused for every segment it codes.
class BodyWriter::SegmentWork {
public:
    SegmentWork(const BodyLayout& body, Cover& cover) : body_(body), cover_(cover) {}

    // Codes the segment again from the plan: each position's bit may toggle at its toggle cost,
    // the ones the pass holds at an infinite one. A toggle that gains is taken as the starting
    // bit and pays for being undone, so the trellis sees no negative cost. The new plan is the
    // next pass's. False when the cheapest way to the segment's bits is infinite.
    bool Code(const Segment& segment, unsigned pass) {
        const std::size_t coded = segment.CodedPositions();
        if (coded == 0) return true;
        const std::size_t first = ParityHeader::kPositions + segment.firstPosition;
        Gather(first, coded, pass);
        TakeBits(segment);
        const double cost =
            embedder_.Embed(start_, toggleCosts_, body_.columns.first(segment.width), bits_, stego_);
        if (!std::isfinite(cost)) return false;
        const KeyedCover& keyed = body_.keyed;
        for (std::size_t k = 0; k < coded; ++k)
            if (stego_[k] != keyed.LowestBit(first + k)) cover_.PlanNextFlip(keyed.Sample(first + k));
        return true;
    }

private:
    void Gather(std::size_t first, std::size_t coded, unsigned pass) {
        const KeyedCover& keyed = body_.keyed;
        Refit(start_, coded);
        Refit(toggleCosts_, coded);
        Refit(stego_, coded);
        cover_.ToggleCosts(keyed.Order().subspan(first, coded), pass, start_, toggleCosts_);
        for (std::size_t k = 0; k < coded; ++k) {
            const bool gain = toggleCosts_[k] < 0;
            if (gain) toggleCosts_[k] = -toggleCosts_[k];
            start_[k] = static_cast<std::uint8_t>(keyed.LowestBit(first + k) ^ start_[k] ^ gain);
        }
    }

    void TakeBits(const Segment& segment) {
        Refit(bits_, segment.bits);
        for (std::size_t i = 0; i < segment.bits; ++i) {
            const std::uint64_t j = segment.firstBit + i;
            bits_[i] = (body_.payload[j / 8] >> (j % 8)) & 1;
        }
    }

    const BodyLayout& body_;
    Cover& cover_;
    ViterbiEmbedder embedder_;
    std::vector<std::uint8_t> start_;  // the flips as the cover gives them, then the starting bits
    std::vector<float> toggleCosts_;
    std::vector<std::uint8_t> bits_;
    std::vector<std::uint8_t> stego_;
};

bool BodyWriter::Plan(const BodyLayout& body, int rounds, ProgressReport& progress, double from,
                      double to) const {
    const std::vector<Segment>& segments = body.segments.Segments();
    const unsigned workers = std::min<unsigned>(ThreadsFor(threads_), static_cast<unsigned>(segments.size()));
    std::vector<unsigned> passes{0};
    for (int round = 0; round < rounds; ++round)
        for (unsigned pass = 1; pass <= cover_.RefinementPasses(); ++pass) passes.push_back(pass);
    // Each worker keeps its embedder, and the embedder its path memory, from pass to pass.
    std::vector<std::unique_ptr<SegmentWork>> works;
    for (unsigned w = 0; w < workers; ++w) works.push_back(std::make_unique<SegmentWork>(body, cover_));
    for (std::size_t pass = 0; pass < passes.size(); ++pass) {
        const double passFrom = from + (to - from) * pass / passes.size();
        const double passTo = from + (to - from) * (pass + 1) / passes.size();
        std::atomic<std::size_t> next{0};
        std::atomic<std::size_t> done{0};
        std::atomic<bool> fits{true};
        RunParallel(workers, workers, [&](std::size_t worker) {
            for (std::size_t s; fits && (s = next++) < segments.size();) {
                if (!works[worker]->Code(segments[s], passes[pass])) fits = false;
                progress.Stage(passFrom, passTo, static_cast<double>(++done) / segments.size());
            }
        });
        if (!fits) return false;
        cover_.AdvancePlan(threads_);
    }
    return true;
}

}  // namespace velquist::stealth
