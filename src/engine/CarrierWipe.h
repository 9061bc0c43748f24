// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

class FileService;
struct BmpHeader;

// Makes a carrier read as empty and leaves nothing of the message behind. The order makes a
// wipe that is cut short harmless: the header group's extension and password fields are
// blanked and every codec bit of the stored groups cleared first, then flushed, and only then
// the marker word becomes 0 and is flushed. Until that last step the carrier still claims
// its data, so a wipe can simply run again. Nothing outside the header group, those groups and
// the marker word changes. Works on the carrier open as `number`, whose lock the caller holds,
// and never opens a file by name: it wipes the picture the caller looked at, whatever the name
// leads to by now. `header` is what the caller read under that lock. Throws FileError on any
// failure.
void WipeCarrier(FileService& files, int number, const BmpHeader& header);

}  // namespace velquist
