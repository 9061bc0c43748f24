// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/Stealth.h"

#include <future>
#include <new>
#include <stdexcept>

#include "engine/stealth/BodyWriter.h"
#include "engine/stealth/ChangeDirections.h"
#include "engine/stealth/CodeColumns.h"
#include "engine/stealth/ColourHillCosts.h"
#include "engine/stealth/KeyedCover.h"
#include "engine/stealth/KeyedOrder.h"
#include "engine/stealth/LittleEndian.h"
#include "engine/stealth/ParallelTasks.h"
#include "engine/stealth/ParityHeader.h"
#include "engine/stealth/PixelCosts.h"
#include "engine/stealth/ProgressReport.h"
#include "engine/stealth/RandomBits.h"
#include "engine/stealth/SegmentPlan.h"
#include "engine/stealth/SodiumStart.h"
#include "engine/stealth/StealthError.h"
#include "engine/stealth/SyndromeReader.h"

namespace velquist::stealth {

namespace {

// Progress milestones of a hide: the order and the costs, the rounds, the header.
constexpr double kPrepared = 0.15;
constexpr double kCoded = 0.95;

template <typename Work>
auto ReportingOutOfMemory(Work work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        throw StealthError(StealthError::Kind::OutOfMemory);
    }
}

void CheckSamples(std::span<const std::uint8_t> samples, const SampleGeometry& geometry) {
    if (samples.size() != geometry.SampleCount())
        throw std::invalid_argument("the samples are not the picture's cover sequence");
}

// The order and the costs, side by side when there are threads to spare (the shuffle runs on
// one thread, bound by memory latency).
KeyedCover Prepare(const PictureView& picture, const StealthKeys& keys, const CostModel& model,
                   PixelCosts& costs, unsigned threads) {
    auto shuffle = [&] { return KeyedOrder::Shuffle(picture.samples.size(), keys.Order()); };
    if (threads < 2) {
        LargeArray<std::uint32_t> order = shuffle();
        model.Fill(picture, costs, 1);
        return KeyedCover(std::move(order), picture.samples, 1);
    }
    auto order = std::async(std::launch::async, shuffle);
    model.Fill(picture, costs, threads - 1);
    return KeyedCover(order.get(), picture.samples, threads);
}

// In each header group whose parity is wrong, the sample whose flip costs least given the
// body's plan flips.
void PlanHeader(std::uint64_t wanted, std::span<const std::uint8_t> samples,
                const KeyedCover& cover, PixelCosts& costs) {
    auto cost = [&](std::size_t position) { return costs.ToggleCost(cover.Sample(position)); };
    auto change = [&](std::size_t position) { costs.Toggle(cover.Sample(position)); };
    ParityHeader::PlanChanges(wanted, ParityHeader::Parities(samples, cover.Order()), cost, change);
}

// The planned flips, each a change whose way ChangeDirections settles per pixel.
std::vector<std::uint32_t> MakeChanges(const PictureView& picture, std::span<std::uint8_t> samples,
                                       const PixelCosts& costs, FreeChoices& choices) {
    LargeArray<std::int8_t> changes(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) changes[i] = costs.Flipped(i) ? 1 : 0;
    const SampleGeometry& geometry = picture.geometry;
    ChangeDirections::Choose(picture, RandomBits(std::size_t{geometry.Width()} * geometry.Height(), choices),
                             changes);
    std::vector<std::uint32_t> changed;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (changes[i] == 0) continue;
        samples[i] = static_cast<std::uint8_t>(samples[i] + changes[i]);
        changed.push_back(static_cast<std::uint32_t>(i));
    }
    return changed;
}

// Plans the body (when there is a payload) and the header, settles which way each changed
// pixel goes, then makes the changes.
std::vector<std::uint32_t> Rewrite(std::span<std::uint8_t> samples, const SampleGeometry& geometry,
                                   const StealthKeys& keys, std::span<const std::uint8_t> payload,
                                   const std::optional<SegmentPlan>& segments,
                                   std::uint64_t wantedHeader, FreeChoices& choices,
                                   const EmbedOptions& options) {
    StartSodium();
    const unsigned threads = ThreadsFor(options.threads);
    const ColourHillCosts defaultModel;
    const CostModel& model = options.costs ? *options.costs : defaultModel;
    const PictureView picture{samples, geometry};
    ProgressReport progress(options.progress);
    progress.Report(0);

    PixelCosts costs(samples.size());
    const KeyedCover cover = Prepare(picture, keys, model, costs, threads);
    costs.ClearFlips();
    progress.Report(kPrepared);
    const std::vector<std::uint8_t> columns =
        CodeColumns::Derive(keys.Order(), segments ? segments->WidestCode() : 0);
    const SegmentPlan nothing;
    BodyWriter(costs, threads)
        .Plan({cover, segments ? *segments : nothing, columns, payload}, options.rounds, progress,
              kPrepared, kCoded);
    PlanHeader(wantedHeader, samples, cover, costs);
    std::vector<std::uint32_t> changed = MakeChanges(picture, samples, costs, choices);
    progress.Report(1);
    return changed;
}

// A header that fails the check: random parities, drawn again in the rare case they pass.
std::uint64_t FailingHeader(std::uint64_t samples, const StealthKeys& keys, FreeChoices& choices) {
    for (;;) {
        std::uint8_t drawn[8];
        choices.Fill(drawn);
        const std::uint64_t parities = LoadLE(drawn, 8);
        std::optional<std::uint32_t> length = ParityHeader::Decode(parities, keys.Header());
        if (!length || !SegmentPlan::For(samples, *length)) return parities;
    }
}

// The payload bits the body carries, one a byte, each segment read on its own thread.
std::vector<std::uint8_t> ReadBits(std::span<const std::uint8_t> samples,
                                   std::span<const std::uint32_t> order, const SegmentPlan& plan,
                                   const StealthKeys& keys) {
    const std::vector<std::uint8_t> columns = CodeColumns::Derive(keys.Order(), plan.WidestCode());
    const std::vector<Segment>& segments = plan.Segments();
    std::vector<std::uint8_t> bits(segments.back().firstBit + segments.back().bits);
    RunParallel(segments.size(), 0, [&](std::size_t s) {
        const Segment& segment = segments[s];
        std::vector<std::uint8_t> lowest(segment.CodedPositions());
        const std::size_t first = ParityHeader::kPositions + segment.firstPosition;
        for (std::size_t k = 0; k < lowest.size(); ++k) lowest[k] = samples[order[first + k]] & 1;
        SyndromeReader::Read(lowest, std::span(columns).first(segment.width),
                             std::span(bits).subspan(segment.firstBit, segment.bits));
    });
    return bits;
}

std::vector<std::uint8_t> PackBits(std::span<const std::uint8_t> bits, std::size_t bytes) {
    std::vector<std::uint8_t> packed(bytes, 0);
    for (std::size_t j = 0; j < bits.size(); ++j)
        packed[j / 8] |= static_cast<std::uint8_t>(bits[j] << (j % 8));
    return packed;
}

}  // namespace

std::optional<std::vector<std::uint32_t>> Embed(std::span<std::uint8_t> samples,
                                                const SampleGeometry& geometry,
                                                const StealthKeys& keys,
                                                std::span<const std::uint8_t> payload,
                                                const EmbedOptions& options) {
    CheckSamples(samples, geometry);
    if (payload.size() > 0xFFFFFFFFu) return std::nullopt;
    std::optional<SegmentPlan> segments = SegmentPlan::For(samples.size(), payload.size());
    if (!segments) return std::nullopt;
    const auto length = static_cast<std::uint32_t>(payload.size());
    return ReportingOutOfMemory([&] {
        FreeChoices choices(options.seed);
        return Rewrite(samples, geometry, keys, payload, segments,
                       ParityHeader::Encode(length, keys.Header()), choices, options);
    });
}

std::optional<std::vector<std::uint8_t>> ReadPayload(std::span<const std::uint8_t> samples,
                                                     const StealthKeys& keys) {
    if (samples.size() <= ParityHeader::kPositions) return std::nullopt;
    return ReportingOutOfMemory([&]() -> std::optional<std::vector<std::uint8_t>> {
        const LargeArray<std::uint32_t> order = KeyedOrder::Shuffle(samples.size(), keys.Order());
        std::optional<std::uint32_t> length =
            ParityHeader::Decode(ParityHeader::Parities(samples, order), keys.Header());
        if (!length) return std::nullopt;
        std::optional<SegmentPlan> plan = SegmentPlan::For(samples.size(), *length);
        if (!plan) return std::nullopt;
        return PackBits(ReadBits(samples, order, *plan, keys), *length);
    });
}

std::vector<std::uint32_t> Wipe(std::span<std::uint8_t> samples, const SampleGeometry& geometry,
                                const StealthKeys& keys, std::uint32_t payloadLength,
                                const EmbedOptions& options) {
    CheckSamples(samples, geometry);
    if (samples.size() < ParityHeader::kPositions) return {};
    StartSodium();
    return ReportingOutOfMemory([&] {
        std::optional<SegmentPlan> segments = SegmentPlan::For(samples.size(), payloadLength);
        FreeChoices choices(options.seed);
        std::vector<std::uint8_t> noise(segments ? payloadLength : 0);
        choices.Fill(noise);
        const std::uint64_t header = FailingHeader(samples.size(), keys, choices);
        return Rewrite(samples, geometry, keys, noise, segments, header, choices, options);
    });
}

}  // namespace velquist::stealth
