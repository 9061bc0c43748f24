// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

// Which passwords a carrier format takes.
namespace velquist::password_rule {

// Version 1 keeps one byte per character in an 8-byte field of the header group.
inline constexpr std::size_t kVersion1Longest = 8;
// Version 2 stores no password, so any characters will do, as many as a person types.
inline constexpr std::size_t kVersion2Longest = 64;
// Version 3 hashes its passphrase's bytes exactly as typed, up to 256 of them.
inline constexpr std::size_t kVersion3LongestBytes = 256;

// True when version 1 can store `password`: at most 8 characters, each printable ASCII.
constexpr bool FitsVersion1(std::string_view password) {
    if (password.size() > kVersion1Longest) return false;
    for (char c : password)
        if (c < ' ' || c > '~') return false;
    return true;
}

// The characters of UTF-8 text: every byte that does not continue a character starts one.
constexpr std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

// True when version 2 takes `password`: 1 to 64 characters of any kind, as typed.
constexpr bool FitsVersion2(std::string_view password) {
    std::size_t count = CharacterCount(password);
    return count >= 1 && count <= kVersion2Longest;
}

// True when version 3 takes `passphrase`: 1 to 256 bytes of UTF-8 as typed.
constexpr bool FitsVersion3(std::string_view passphrase) {
    return !passphrase.empty() && passphrase.size() <= kVersion3LongestBytes;
}

}  // namespace velquist::password_rule
