// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The in-memory folder every probe works in.
namespace velquist::probes {

inline constexpr const char* kScratch = "/scratch";

inline std::string ScratchFile(const std::string& name) { return std::string(kScratch) + "/" + name; }

}  // namespace velquist::probes
