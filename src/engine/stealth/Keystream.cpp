// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/Keystream.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>

namespace velquist::stealth {

namespace {

// randombytes_buf_deterministic's nonce.
constexpr std::uint8_t kNonce[crypto_stream_chacha20_ietf_NONCEBYTES] = {
    'L', 'i', 'b', 's', 'o', 'd', 'i', 'u', 'm', 'D', 'R', 'G'};

}  // namespace

Keystream::~Keystream() { sodium_memzero(spare_, sizeof spare_); }

void Keystream::Fill(std::span<std::uint8_t> out) {
    if (out.empty()) return;  // an empty span may have no memory to copy to
    std::size_t fromSpare = std::min(spareLeft_, out.size());
    std::memcpy(out.data(), spare_ + kBlock - spareLeft_, fromSpare);
    spareLeft_ -= fromSpare;
    out = out.subspan(fromSpare);
    std::size_t whole = out.size() / kBlock;
    FillBlocks(out.data(), whole);
    out = out.subspan(whole * kBlock);
    if (out.empty()) return;
    FillBlocks(spare_, 1);
    std::memcpy(out.data(), spare_, out.size());
    spareLeft_ = kBlock - out.size();
}

void Keystream::FillBlocks(std::uint8_t* out, std::size_t blocks) {
    // The counter is 32 bits wide: a call may not run past 2^32 blocks, far beyond any picture.
    constexpr std::size_t kBlocksPerCall = 1u << 16;
    while (blocks > 0) {
        std::size_t now = std::min(blocks, kBlocksPerCall);
        std::memset(out, 0, now * kBlock);
        crypto_stream_chacha20_ietf_xor_ic(out, out, now * kBlock, kNonce,
                                           static_cast<std::uint32_t>(nextBlock_), seed_.data());
        nextBlock_ += now;
        out += now * kBlock;
        blocks -= now;
    }
}

}  // namespace velquist::stealth
