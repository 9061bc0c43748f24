// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/DroppedFiles.h"

#include <algorithm>
#include <cctype>

#include "workflows/CarrierSelection.h"
#include "workflows/MessageSelection.h"

namespace velquist {

bool IsPictureName(const std::string& path) {
    static constexpr std::string_view kSuffix = ".bmp";
    if (path.size() < kSuffix.size()) return false;
    return std::equal(kSuffix.begin(), kSuffix.end(), path.end() - kSuffix.size(),
                      [](char a, char b) {
                          return a == std::tolower(static_cast<unsigned char>(b));
                      });
}

void TakeDroppedFiles(const std::vector<std::string>& paths, CarrierSelection& carrier,
                      MessageSelection& message) {
    auto picture = std::find_if(paths.begin(), paths.end(), IsPictureName);
    auto other = std::find_if_not(paths.begin(), paths.end(), IsPictureName);
    if (picture != paths.end()) carrier.Choose(*picture);
    if (other != paths.end()) message.Choose(*other);
}

}  // namespace velquist
