// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/KeyedOrder.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "engine/bytes/ByteOrder.h"
#include "engine/stealth/Keystream.h"
#include "engine/stealth/ParallelTasks.h"

namespace velquist::stealth {

namespace {

// Steps a chunk: a whole number of keystream blocks (eight steps a block).
constexpr std::size_t kChunk = std::size_t{1} << 16;
// Chunks of partners made ahead of the swaps.
constexpr std::size_t kSlots = 8;
// Steps between announcing a swap partner and swapping it: enough misses to memory under way.
constexpr std::size_t kLookAhead = 48;

// Step t of the shuffle swaps entry n - 1 - t with entry word_t % (n - t), word_t the stream's
// t-th 64-bit word. The partners depend on the stream alone, so they are made ahead, chunk by
// chunk on other threads, while one thread swaps: the stream costs twice the swaps, which are
// bound by misses to entries all over the array.
class PartnerChunks {
public:
    PartnerChunks(std::uint64_t n, std::span<const std::uint8_t, 32> key)
        : n_(n), key_(key), chunks_(n < 2 ? 0 : (n - 2) / kChunk + 1), slots_(kSlots) {
        for (Slot& slot : slots_) slot.partners.resize(kChunk);
    }

    std::size_t Chunks() const { return chunks_; }

    // Makes chunks in turn until none is left; several threads may.
    void Make() {
        std::vector<std::uint8_t> words(kChunk * 8);
        for (std::size_t c; (c = next_++) < chunks_;) MakeChunk(c, words);
        sodium_memzero(words.data(), words.size());
    }

    // The partners of chunk c, made here when no other thread has started on them, so that the
    // swaps go on whatever the threads.
    std::span<const std::uint32_t> Take(std::size_t c, std::vector<std::uint8_t>& words) {
        Slot& slot = slots_[c % kSlots];
        for (std::size_t ready = slot.ready.load(); ready != c + 1; ready = slot.ready.load()) {
            std::size_t unclaimed = c;
            if (next_.compare_exchange_strong(unclaimed, c + 1)) {
                MakeChunk(c, words);
                break;
            }
            slot.ready.wait(ready);
        }
        return std::span(slot.partners).first(Steps(c));
    }

    // Chunk c is swapped: its slot may take the chunk kSlots on.
    void Done(std::size_t c) {
        Slot& slot = slots_[c % kSlots];
        slot.ready.store(Free(c + kSlots));
        slot.ready.notify_all();
    }

    ~PartnerChunks() {
        for (Slot& slot : slots_) sodium_memzero(slot.partners.data(), slot.partners.size() * sizeof(std::uint32_t));
    }

private:
    void MakeChunk(std::size_t c, std::vector<std::uint8_t>& words) {
        Slot& slot = slots_[c % kSlots];
        // The slot is free once the chunk kSlots before is swapped.
        for (std::size_t ready = slot.ready.load(); ready != Free(c); ready = slot.ready.load()) slot.ready.wait(ready);
        const std::uint64_t first = c * kChunk;
        const std::size_t steps = Steps(c);
        Keystream stream(key_, first / 8);
        stream.Fill(std::span(words.data(), steps * 8));
        for (std::size_t k = 0; k < steps; ++k)
            slot.partners[k] = static_cast<std::uint32_t>(bytes::LoadLE(&words[8 * k], 8) % (n_ - first - k));
        slot.ready.store(c + 1);
        slot.ready.notify_all();
    }

    struct Slot {
        std::vector<std::uint32_t> partners;
        // c + 1 once chunk c is made; Free(c) while the slot waits for chunk c.
        std::atomic<std::size_t> ready{0};
    };

    // The mark of a slot free for chunk c: chunks 0 .. kSlots - 1 find their slots at 0.
    static std::size_t Free(std::size_t c) { return c < kSlots ? 0 : c - kSlots + 1 + (std::size_t{1} << 63); }

    std::size_t Steps(std::size_t c) const {
        return static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, n_ - 1 - c * kChunk));
    }

    std::uint64_t n_;
    std::span<const std::uint8_t, 32> key_;
    std::size_t chunks_;
    std::atomic<std::size_t> next_{0};
    std::vector<Slot> slots_;
};

}  // namespace

LargeArray<std::uint32_t> KeyedOrder::Shuffle(std::size_t n, std::span<const std::uint8_t, 32> key,
                                              unsigned threads) {
    if (n > kMaxSamples) throw std::length_error("too many samples for one picture");
    LargeArray<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    auto chunks = std::make_unique<PartnerChunks>(n, key);
    const unsigned makers = ThreadsFor(threads) - 1;
    // Task 0 swaps; the others make partners.
    RunParallel(makers + 1, makers + 1, [&](std::size_t task) {
        if (task != 0) return chunks->Make();
        std::vector<std::uint8_t> words(kChunk * 8);
        for (std::size_t c = 0; c < chunks->Chunks(); ++c) {
            const std::span<const std::uint32_t> partner = chunks->Take(c, words);
            std::uint32_t* top = order.data() + (n - 1 - c * kChunk);
            for (std::size_t k = 0; k < partner.size(); ++k) {
                if (k + kLookAhead < partner.size()) __builtin_prefetch(&order[partner[k + kLookAhead]], 1);
                std::swap(*(top - k), order[partner[k]]);
            }
            chunks->Done(c);
        }
        sodium_memzero(words.data(), words.size());
    });
    return order;
}

}  // namespace velquist::stealth
