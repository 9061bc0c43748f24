// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The numbers under which the commands open their files.
namespace velquist::file_numbers {

inline constexpr int kCarrier = 1;
inline constexpr int kMessage = 2;  // while hiding
inline constexpr int kOutput = 2;   // while extracting
inline constexpr int kRewrite = 3;  // a PNG picture written anew, while it replaces the old

}  // namespace velquist::file_numbers
