// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velquist {

// A password or a key: held in guarded memory that is locked in RAM where the system allows,
// left out of core dumps, and zeroed when released. While any secret is held the process is
// not dumpable. Copies are new guarded buffers; nothing of a secret goes through ordinary heap
// memory on its way in or out of this type.
class SecretBytes {
public:
    SecretBytes() = default;
    // `capacity` bytes of room, none of them used yet.
    explicit SecretBytes(std::size_t capacity);
    // A copy of `bytes` (a password as typed, a test's fixed key).
    static SecretBytes Of(std::span<const std::uint8_t> bytes);
    static SecretBytes Of(std::string_view text);
    // Takes the text over and zeroes it where it stood (a password an input box handed out).
    static SecretBytes TakeFrom(std::string& text);
    ~SecretBytes();
    SecretBytes(const SecretBytes& other);
    SecretBytes& operator=(const SecretBytes& other);
    SecretBytes(SecretBytes&& other) noexcept;
    SecretBytes& operator=(SecretBytes&& other) noexcept;

    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }
    std::string_view text() const { return {reinterpret_cast<const char*>(data_), size_}; }

    // Adds one byte; false when the room is used up.
    bool Push(std::uint8_t byte);
    // Uses the first `size` bytes of the room (zero-filled when it grows).
    void Resize(std::size_t size);
    // The first `count` bytes as a secret of their own.
    SecretBytes First(std::size_t count) const;

    // Compares in time that does not depend on where the bytes differ.
    bool operator==(const SecretBytes& other) const;
    bool Equals(std::span<const std::uint8_t> bytes) const;

private:
    void Release() noexcept;

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace velquist
