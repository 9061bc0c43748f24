// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace velquist {

// A fixed-length text field: assignment keeps the leftmost N characters and pads a shorter
// text with spaces on the right. It starts as N zero bytes, as every field of the job state.
template <std::size_t N>
class FixedText {
public:
    FixedText() { bytes_.fill('\0'); }

    FixedText& operator=(const std::string& text) {
        bytes_.fill(' ');
        for (std::size_t i = 0; i < N && i < text.size(); ++i) bytes_[i] = text[i];
        return *this;
    }

    std::string str() const { return std::string(bytes_.data(), N); }

private:
    std::array<char, N> bytes_;
};

}  // namespace velquist
