// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>

#include "engine/bytes/ByteOrder.h"

namespace velquist::bytes {

// A read ran past the end of what was read from the file: the picture is cut short, or one of
// its sizes points outside it. Whoever parses turns it into "damaged".
class ShortInput final : public std::exception {
public:
    const char* what() const noexcept override { return "the input ends before the read"; }
};

// The one way untrusted bytes are read: a span and a position, every read checked against what
// is left. A read that does not fit throws ShortInput and leaves the position where it was, so
// nothing is ever read from outside the span and nothing reads zeros for missing bytes.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Position() const { return position_; }
    std::size_t Size() const { return bytes_.size(); }
    std::size_t Remaining() const { return bytes_.size() - position_; }
    bool AtEnd() const { return position_ == bytes_.size(); }
    bool Has(std::size_t count) const { return count <= Remaining(); }

    std::uint8_t U8() { return static_cast<std::uint8_t>(Load(1, false)); }
    std::uint16_t U16LE() { return static_cast<std::uint16_t>(Load(2, false)); }
    std::uint16_t U16BE() { return static_cast<std::uint16_t>(Load(2, true)); }
    std::uint32_t U32LE() { return static_cast<std::uint32_t>(Load(4, false)); }
    std::uint32_t U32BE() { return static_cast<std::uint32_t>(Load(4, true)); }

    void Skip(std::size_t count) { Take(count); }
    // Moves to `position` from the start; the end itself is a position.
    void Seek(std::size_t position) {
        if (position > bytes_.size()) throw ShortInput();
        position_ = position;
    }
    // The next `count` bytes, and the position past them.
    std::span<const std::uint8_t> Bytes(std::size_t count) { return Take(count); }
    // A reader of its own over the next `count` bytes (a chunk, a segment), and the position
    // past them: what it reads can never reach beyond them.
    ByteReader Sub(std::size_t count) { return ByteReader(Take(count)); }
    // Everything from the position on, without moving.
    std::span<const std::uint8_t> Rest() const { return bytes_.subspan(position_); }

private:
    std::span<const std::uint8_t> Take(std::size_t count) {
        if (!Has(count)) throw ShortInput();
        std::span<const std::uint8_t> taken = bytes_.subspan(position_, count);
        position_ += count;
        return taken;
    }
    std::uint64_t Load(std::size_t count, bool bigEndian) {
        std::span<const std::uint8_t> at = Take(count);
        return bigEndian ? LoadBE(at.data(), count) : LoadLE(at.data(), count);
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace velquist::bytes
