// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/DroppedFiles.h"

#include <algorithm>
#include <cctype>

#include "workflows/CarrierSelection.h"
#include "workflows/MessageSelection.h"

namespace velquist {

bool IsPictureName(const std::string& path) {
    auto endsWith = [&path](std::string_view suffix) {
        return path.size() >= suffix.size() &&
               std::equal(suffix.begin(), suffix.end(), path.end() - suffix.size(),
                          [](char a, char b) {
                              return a == std::tolower(static_cast<unsigned char>(b));
                          });
    };
    return endsWith(".bmp") || endsWith(".png");
}

void TakeDroppedFiles(const std::vector<std::string>& paths, CarrierSelection& carrier,
                      MessageSelection& message) {
    auto picture = std::find_if(paths.begin(), paths.end(), IsPictureName);
    auto other = std::find_if_not(paths.begin(), paths.end(), IsPictureName);
    if (picture != paths.end()) carrier.Choose(*picture);
    if (other != paths.end()) message.Choose(*other);
}

}  // namespace velquist
