// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The numbers under which the commands open their files.
namespace velquist::file_numbers {

inline constexpr int kCarrier = 1;
inline constexpr int kMessage = 2;  // while hiding
inline constexpr int kOutput = 2;   // while extracting
// The carrier opened for writing by the wipe that follows an extraction, which still holds
// the carrier's lock through file 1.
inline constexpr int kWipe = 3;

}  // namespace velquist::file_numbers
