// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/Stealth.h"

#include <future>
#include <new>

#include "engine/bytes/ByteOrder.h"
#include "engine/stealth/BodyWriter.h"
#include "engine/stealth/CodeColumns.h"
#include "engine/stealth/KeyedCover.h"
#include "engine/stealth/KeyedOrder.h"
#include "engine/stealth/ParallelTasks.h"
#include "engine/stealth/ParityHeader.h"
#include "engine/stealth/ProgressReport.h"
#include "engine/stealth/SegmentPlan.h"
#include "engine/stealth/SodiumStart.h"
#include "engine/stealth/StealthError.h"
#include "engine/stealth/SyndromeReader.h"

namespace velquist::stealth {

namespace {

// Progress milestones of a hide: the order and the costs, the rounds, the header.
constexpr double kPrepared = 0.15;
constexpr double kCoded = 0.95;
// Draws of a failing header before a wipe gives up: each fails the check with probability 1/2
// or more as long as one of the four zero bytes' groups may change.
constexpr int kHeaderDraws = 64;

template <typename Work>
auto ReportingOutOfMemory(Work work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        throw StealthError(StealthError::Kind::OutOfMemory);
    }
}

KeyedCover KeyedFrom(LargeArray<std::uint32_t> order, const Cover& cover, unsigned threads) {
    std::vector<std::uint64_t> lowest(cover.Size() / 64 + 1, 0);
    cover.LowestBits(lowest, threads);
    return KeyedCover(std::move(order), lowest, threads);
}

// The order and the costs, side by side when there are threads to spare (the shuffle's swaps run
// on one thread, bound by memory latency, its keystream on the others).
KeyedCover Prepare(Cover& cover, const StealthKeys& keys, unsigned threads) {
    auto shuffle = [&] { return KeyedOrder::Shuffle(cover.Size(), keys.Order(), threads); };
    if (threads < 2) {
        LargeArray<std::uint32_t> order = shuffle();
        cover.PrepareCosts(1);
        return KeyedFrom(std::move(order), cover, 1);
    }
    auto order = std::async(std::launch::async, shuffle);
    cover.PrepareCosts(threads - 1);
    return KeyedFrom(order.get(), cover, threads);
}

// The parities a rewrite gives the header, chosen once the cover is keyed and priced; nothing
// when there are none it can reach.
using HeaderChoice = std::function<std::optional<std::uint64_t>(const KeyedCover&, const Cover&)>;

// What a rewrite codes into the body: nothing when `segments` is empty.
struct Body {
    std::span<const std::uint8_t> payload;
    const std::optional<SegmentPlan>& segments;
};

// Plans the body and the header, then has the cover make the changes. Nothing, with the cover
// untouched, when the plan needs a sample that may not change.
std::optional<std::vector<std::uint32_t>> Rewrite(Cover& cover, const StealthKeys& keys,
                                                  const Body& body, const HeaderChoice& header,
                                                  FreeChoices& choices, const EmbedOptions& options,
                                                  ProgressReport& progress) {
    StartSodium();
    const unsigned threads = ThreadsFor(options.threads);
    progress.Report(0);

    const KeyedCover keyed = Prepare(cover, keys, threads);
    cover.ClearPlan();
    progress.Report(kPrepared);
    const std::optional<std::uint64_t> wanted = header(keyed, cover);
    if (!wanted) return std::nullopt;
    const std::vector<std::uint8_t> columns =
        CodeColumns::Derive(keys.Order(), body.segments ? body.segments->WidestCode() : 0);
    const SegmentPlan nothing;
    if (!BodyWriter(cover, threads)
             .Plan({keyed, body.segments ? *body.segments : nothing, columns, body.payload},
                   options.rounds, progress, kPrepared, kCoded))
        return std::nullopt;
    if (!ParityHeader::PlanChanges(*wanted, keyed, cover)) return std::nullopt;
    std::vector<std::uint32_t> changed = cover.ApplyPlan(choices);
    progress.Report(1);
    return changed;
}

// A header that fails the check: random parities in the groups that may change, the others as
// they are, drawn again in the rare case they pass.
std::optional<std::uint64_t> FailingHeader(const KeyedCover& keyed, const Cover& cover,
                                           const StealthKeys& keys, FreeChoices& choices) {
    const std::uint64_t current = ParityHeader::Parities(keyed.Bits());
    const std::uint64_t changeable = ParityHeader::ChangeableGroups(keyed, cover);
    for (int draw = 0; draw < kHeaderDraws; ++draw) {
        std::uint8_t drawn[8];
        choices.Fill(drawn);
        const std::uint64_t parities = (bytes::LoadLE(drawn, 8) & changeable) | (current & ~changeable);
        std::optional<std::uint32_t> length = ParityHeader::Decode(parities, keys.Header());
        if (!length || !SegmentPlan::For(cover.Size(), *length)) return parities;
    }
    return std::nullopt;
}

// The payload bits the body carries, one a byte, each segment read on its own thread.
std::vector<std::uint8_t> ReadBits(const KeyedCover& keyed, const SegmentPlan& plan,
                                   const StealthKeys& keys) {
    const std::vector<std::uint8_t> columns = CodeColumns::Derive(keys.Order(), plan.WidestCode());
    const std::vector<Segment>& segments = plan.Segments();
    std::vector<std::uint8_t> bits(segments.back().firstBit + segments.back().bits);
    RunParallel(segments.size(), 0, [&](std::size_t s) {
        const Segment& segment = segments[s];
        std::vector<std::uint8_t> lowest(segment.CodedPositions());
        const std::size_t first = ParityHeader::kPositions + segment.firstPosition;
        for (std::size_t k = 0; k < lowest.size(); ++k)
            lowest[k] = static_cast<std::uint8_t>(keyed.LowestBit(first + k));
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

std::optional<std::vector<std::uint32_t>> Embed(Cover& cover, const StealthKeys& keys,
                                                std::span<const std::uint8_t> payload,
                                                const EmbedOptions& options) {
    if (payload.size() > 0xFFFFFFFFu) return std::nullopt;
    const std::optional<SegmentPlan> segments = SegmentPlan::For(cover.Size(), payload.size());
    if (!segments) return std::nullopt;
    const std::uint64_t wanted =
        ParityHeader::Encode(static_cast<std::uint32_t>(payload.size()), keys.Header());
    return ReportingOutOfMemory([&] {
        FreeChoices choices(options.seed);
        ProgressReport progress(options.progress);
        return Rewrite(cover, keys, {payload, segments},
                       [wanted](const KeyedCover&, const Cover&) { return wanted; }, choices, options,
                       progress);
    });
}

std::optional<std::vector<std::uint8_t>> ReadPayload(const Cover& cover, const StealthKeys& keys) {
    if (cover.Size() <= ParityHeader::kPositions) return std::nullopt;
    return ReportingOutOfMemory([&]() -> std::optional<std::vector<std::uint8_t>> {
        const unsigned threads = ThreadsFor(0);
        const KeyedCover keyed =
            KeyedFrom(KeyedOrder::Shuffle(cover.Size(), keys.Order(), threads), cover, threads);
        std::optional<std::uint32_t> length =
            ParityHeader::Decode(ParityHeader::Parities(keyed.Bits()), keys.Header());
        if (!length) return std::nullopt;
        std::optional<SegmentPlan> plan = SegmentPlan::For(cover.Size(), *length);
        if (!plan) return std::nullopt;
        return PackBits(ReadBits(keyed, *plan, keys), *length);
    });
}

std::optional<std::vector<std::uint32_t>> Wipe(Cover& cover, const StealthKeys& keys,
                                               std::uint32_t payloadLength,
                                               const EmbedOptions& options) {
    if (cover.Size() < ParityHeader::kPositions) return std::vector<std::uint32_t>{};
    StartSodium();
    return ReportingOutOfMemory([&] {
        FreeChoices choices(options.seed);
        const std::optional<SegmentPlan> segments = SegmentPlan::For(cover.Size(), payloadLength);
        std::vector<std::uint8_t> noise(segments ? payloadLength : 0);
        choices.Fill(noise);
        const HeaderChoice failing = [&](const KeyedCover& keyed, const Cover& priced) {
            return FailingHeader(keyed, priced, keys, choices);
        };
        // One report for both tries, so that the second does not take the progress back.
        ProgressReport progress(options.progress);
        auto changed = Rewrite(cover, keys, {noise, segments}, failing, choices, options, progress);
        if (changed || !segments) return changed;
        const std::optional<SegmentPlan> headerOnly;
        return Rewrite(cover, keys, {{}, headerOnly}, failing, choices, options, progress);
    });
}

}  // namespace velquist::stealth
