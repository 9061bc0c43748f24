// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/BodyWriter.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <vector>

#include "engine/stealth/ParallelTasks.h"
#include "engine/stealth/ProgressReport.h"
#include "engine/stealth/ViterbiEmbedder.h"

namespace velquist::stealth {

namespace {

// Positions ahead whose pixels are fetched while one is gathered: the order scatters them all
// over the picture.
constexpr std::size_t kFetchAhead = 16;
constexpr float kHeld = std::numeric_limits<float>::infinity();

bool IsFree(BodyWriter::Free free, std::uint32_t sample) {
    switch (free) {
        case BodyWriter::Free::All: return true;
        case BodyWriter::Free::RedAndBlue: return sample % 3 != 1;
        case BodyWriter::Free::Green: return sample % 3 == 1;
    }
    return false;
}

}  // namespace

// One thread's embedder and buffers, reused for every segment it codes.
class BodyWriter::SegmentWork {
public:
    SegmentWork(const BodyLayout& body, PixelCosts& costs) : body_(body), costs_(costs) {}

    // Codes the segment again from the plan: each free position's bit may toggle at its toggle
    // cost, the others are held. A toggle that gains is taken as the starting bit and pays for
    // being undone, so the trellis sees no negative cost. The new plan is the next round's.
    void Code(const Segment& segment, Free free) {
        const std::size_t coded = segment.CodedPositions();
        if (coded == 0) return;
        const std::size_t first = SegmentPlan::kHeaderPositions + segment.firstPosition;
        Gather(first, coded, free);
        TakeBits(segment);
        embedder_.Embed(start_, toggleCosts_, body_.columns.first(segment.width), bits_, stego_);
        for (std::size_t k = 0; k < coded; ++k)
            if (stego_[k] != body_.cover.LowestBit(first + k)) costs_.PlanNextFlip(body_.cover.Sample(first + k));
    }

private:
    void Gather(std::size_t first, std::size_t coded, Free free) {
        const KeyedCover& cover = body_.cover;
        start_.resize(coded);
        toggleCosts_.resize(coded);
        stego_.resize(coded);
        const std::size_t end = first + coded;
        for (std::size_t p = first; p < end; ++p) {
            if (p + kFetchAhead < end) __builtin_prefetch(costs_.Address(cover.Sample(p + kFetchAhead)));
            const std::uint32_t s = cover.Sample(p);
            const auto planned = static_cast<std::uint8_t>(cover.LowestBit(p) ^ costs_.Flipped(s));
            float cost = kHeld;
            bool gain = false;
            if (IsFree(free, s)) {
                cost = costs_.ToggleCost(s);
                gain = cost < 0;
                if (gain) cost = -cost;
            }
            start_[p - first] = planned ^ static_cast<std::uint8_t>(gain);
            toggleCosts_[p - first] = cost;
        }
    }

    void TakeBits(const Segment& segment) {
        bits_.resize(segment.bits);
        for (std::size_t i = 0; i < segment.bits; ++i) {
            const std::uint64_t j = segment.firstBit + i;
            bits_[i] = (body_.payload[j / 8] >> (j % 8)) & 1;
        }
    }

    const BodyLayout& body_;
    PixelCosts& costs_;
    ViterbiEmbedder embedder_;
    std::vector<std::uint8_t> start_;
    std::vector<float> toggleCosts_;
    std::vector<std::uint8_t> bits_;
    std::vector<std::uint8_t> stego_;
};

void BodyWriter::Plan(const BodyLayout& body, int rounds, ProgressReport& progress, double from,
                      double to) const {
    const std::vector<Segment>& segments = body.segments.Segments();
    const unsigned workers = std::min<unsigned>(ThreadsFor(threads_), static_cast<unsigned>(segments.size()));
    std::vector<Free> passes{Free::All};
    for (int round = 0; round < rounds; ++round) {
        passes.push_back(Free::RedAndBlue);
        passes.push_back(Free::Green);
    }
    // Each worker keeps its embedder, and the embedder its path memory, from pass to pass.
    std::vector<std::unique_ptr<SegmentWork>> works;
    for (unsigned w = 0; w < workers; ++w) works.push_back(std::make_unique<SegmentWork>(body, costs_));
    for (std::size_t pass = 0; pass < passes.size(); ++pass) {
        const double passFrom = from + (to - from) * pass / passes.size();
        const double passTo = from + (to - from) * (pass + 1) / passes.size();
        std::atomic<std::size_t> next{0};
        std::atomic<std::size_t> done{0};
        RunParallel(workers, workers, [&](std::size_t worker) {
            for (std::size_t s; (s = next++) < segments.size();) {
                works[worker]->Code(segments[s], passes[pass]);
                progress.Stage(passFrom, passTo, static_cast<double>(++done) / segments.size());
            }
        });
        costs_.Advance(threads_);
    }
}

}  // namespace velquist::stealth
