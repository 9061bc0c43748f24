// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/BodyWriter.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "engine/stealth/ChangeDirections.h"
#include "engine/stealth/ParallelTasks.h"
#include "engine/stealth/ProgressReport.h"
#include "engine/stealth/RandomBits.h"
#include "engine/stealth/Steering.h"
#include "engine/stealth/ViterbiEmbedder.h"

namespace velquist::stealth {

namespace {

// Positions ahead whose samples are fetched while one is gathered: the order scatters them
// all over the picture.
constexpr std::size_t kFetchAhead = 16;

}  // namespace

// One thread's embedder and buffers, reused for every segment it codes.
class BodyWriter::SegmentWork {
public:
    SegmentWork(const BodyWriter& writer, const BodyLayout& body, std::span<const std::uint8_t> steering,
                std::span<std::int8_t> changes)
        : writer_(writer), body_(body), steering_(steering), changes_(changes) {}

    void Code(const Segment& segment) {
        const std::size_t coded = segment.CodedPositions();
        if (coded == 0) return;
        const std::size_t first = SegmentPlan::kHeaderPositions + segment.firstPosition;
        Gather(first, coded);
        TakeBits(segment);
        embedder_.Embed(cover_, costs_, body_.columns.first(segment.width), bits_, stego_);
        for (std::size_t k = 0; k < coded; ++k) {
            if (stego_[k] == cover_[k]) continue;
            const std::uint32_t s = body_.cover.Sample(first + k);
            changes_[s] = Direction(s);
        }
    }

private:
    void Gather(std::size_t first, std::size_t coded) {
        const KeyedCover& cover = body_.cover;
        cover_.resize(coded);
        costs_.resize(coded);
        stego_.resize(coded);
        const std::size_t end = first + coded;
        for (std::size_t p = first; p < end; ++p) {
            if (p + kFetchAhead < end) __builtin_prefetch(&steering_[cover.Sample(p + kFetchAhead)]);
            cover_[p - first] = static_cast<std::uint8_t>(cover.LowestBit(p));
            costs_[p - first] = cover.Cost(p) * Steering::Multiplier(steering_[cover.Sample(p)]);
        }
    }

    void TakeBits(const Segment& segment) {
        bits_.resize(segment.bits);
        for (std::size_t i = 0; i < segment.bits; ++i) {
            const std::uint64_t j = segment.firstBit + i;
            bits_[i] = (body_.payload[j / 8] >> (j % 8)) & 1;
        }
    }

    // Whatever the model steers, 0 only goes up and 255 only down.
    std::int8_t Direction(std::uint32_t sample) const {
        const std::uint8_t value = writer_.picture_.samples[sample];
        if (value == 0) return 1;
        if (value == 255) return -1;
        return Steering::Up(steering_[sample]) ? 1 : -1;
    }

    const BodyWriter& writer_;
    const BodyLayout& body_;
    std::span<const std::uint8_t> steering_;
    std::span<std::int8_t> changes_;
    ViterbiEmbedder embedder_;
    std::vector<std::uint8_t> cover_;
    std::vector<float> costs_;
    std::vector<std::uint8_t> bits_;
    std::vector<std::uint8_t> stego_;
};

std::size_t BodyWriter::Pixels() const {
    return std::size_t{picture_.geometry.Width()} * picture_.geometry.Height();
}

void BodyWriter::Steer(std::span<const std::int8_t> changes, std::span<std::uint8_t> steering) const {
    model_.FillSteering(picture_, changes, RandomBits(Pixels()), steering, threads_);
}

void BodyWriter::Plan(const BodyLayout& body, int rounds, std::span<std::int8_t> changes,
                      std::span<std::uint8_t> steering, ProgressReport& progress, double from,
                      double to) const {
    const std::vector<Segment>& segments = body.segments.Segments();
    const unsigned workers = std::min<unsigned>(ThreadsFor(threads_), static_cast<unsigned>(segments.size()));
    rounds = std::max(rounds, 1);
    // Each worker keeps its embedder, and the embedder its path memory, from round to round.
    std::vector<std::unique_ptr<SegmentWork>> works;
    for (unsigned w = 0; w < workers; ++w)
        works.push_back(std::make_unique<SegmentWork>(*this, body, steering, changes));
    for (int round = 0; round < rounds; ++round) {
        Steer(changes, steering);
        std::fill(changes.begin(), changes.end(), 0);
        const double roundFrom = from + (to - from) * round / rounds;
        const double roundTo = from + (to - from) * (round + 1) / rounds;
        std::atomic<std::size_t> next{0};
        std::atomic<std::size_t> done{0};
        RunParallel(workers, workers, [&](std::size_t worker) {
            for (std::size_t s; (s = next++) < segments.size();) {
                works[worker]->Code(segments[s]);
                progress.Stage(roundFrom, roundTo, static_cast<double>(++done) / segments.size());
            }
        });
        // The next round steers by the ways the changes will really go.
        ChangeDirections::Choose(picture_, steering, RandomBits(Pixels()), changes);
    }
}

}  // namespace velquist::stealth
