// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace velquist::stealth {

// The deterministic keystream of a 32-byte seed, byte for byte what randombytes_buf_deterministic
// gives, produced in pieces of any size so that a stream of hundreds of megabytes never has to
// be held at once. The seed is borrowed and must outlive the stream.
class Keystream {
public:
    // The stream from its 64-byte block `firstBlock` on (block 0: its start).
    explicit Keystream(std::span<const std::uint8_t, 32> seed, std::uint64_t firstBlock = 0)
        : seed_(seed), nextBlock_(firstBlock) {}
    ~Keystream();
    Keystream(const Keystream&) = delete;
    Keystream& operator=(const Keystream&) = delete;

    // The next out.size() bytes of the stream.
    void Fill(std::span<std::uint8_t> out);

private:
    static constexpr std::size_t kBlock = 64;

    void FillBlocks(std::uint8_t* out, std::size_t blocks);

    std::span<const std::uint8_t, 32> seed_;
    std::uint64_t nextBlock_;
    std::uint8_t spare_[kBlock] = {};
    std::size_t spareLeft_ = 0;  // unread bytes at the end of spare_
};

}  // namespace velquist::stealth
