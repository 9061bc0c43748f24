#pragma once

#include <string>

namespace velquist {

class NumberedFiles;

// Makes a carrier read as empty and leaves nothing of the message behind: the marker word
// becomes 0 first (so the carrier reads as empty even if the rest fails), then the stored
// password is blanked and every message bit of the stored groups is cleared. Nothing outside
// the header group and those groups changes. Opens the carrier as `number`; throws
// FileError on any failure, with the file closed.
void WipeCarrier(NumberedFiles& files, int number, const std::string& path);

}  // namespace velquist
