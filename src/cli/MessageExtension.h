#pragma once

#include <optional>
#include <string>

namespace velquist::cli {

// The three characters after the last dot when the path ends in a dot and exactly three
// printable characters, as the carrier's extension field expects; nothing otherwise.
std::optional<std::string> MessageExtension(const std::string& path);

}  // namespace velquist::cli
