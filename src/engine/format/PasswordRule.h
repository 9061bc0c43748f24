// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

// Which passwords a carrier format takes.
namespace velquist::password_rule {

// Version 1 keeps one byte per character in an 8-byte field of the header group.
inline constexpr std::size_t kVersion1Longest = 8;

// True when version 1 can store `password`: at most 8 characters, each printable ASCII.
constexpr bool FitsVersion1(std::string_view password) {
    if (password.size() > kVersion1Longest) return false;
    for (char c : password)
        if (c < ' ' || c > '~') return false;
    return true;
}

}  // namespace velquist::password_rule
