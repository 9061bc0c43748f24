// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The names a carrier stores or an extraction writes: the three-character extension of the
// message file, and the output file built from it.
namespace velquist::stored_names {

// Stored when the message file's name has no extension of three printable characters.
inline constexpr const char* kFallbackExtension = "msg";
// An extracted file is named this, then the stored extension.
inline constexpr const char* kOutputStem = "output.";

// The character a carrier byte becomes in a file name: printable ASCII other than the
// folder separators stays, anything else becomes "_".
char SafeFileNameChar(std::uint8_t byte);

// The extension stored for a message path: its last three characters when a dot stands
// before them and all three are printable ASCII (the carrier keeps one byte per character),
// made safe for a file name as an extension read from a carrier is; nothing otherwise.
std::optional<std::string> StorableExtension(const std::string& path);

// Where an extraction writes: the output folder (which ends with the separator), "output."
// and the stored extension.
std::string OutputFileFor(const std::string& outPath, const std::string& extension);

}  // namespace velquist::stored_names
