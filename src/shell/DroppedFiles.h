// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace velquist {

class CarrierSelection;
class MessageSelection;

// Files dropped on the main window: the first picture (a name ending in ".bmp", any case) is
// taken as the carrier, the first other file as the message, exactly as if chosen in the
// dialogs; the rest are ignored. The carrier goes first, since a message needs one.
void TakeDroppedFiles(const std::vector<std::string>& paths, CarrierSelection& carrier,
                      MessageSelection& message);

bool IsPictureName(const std::string& path);

}  // namespace velquist
