// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageMagick.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "support/TempDir.h"

namespace velquist::testing {

namespace {

bool Run(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

}  // namespace

bool ImageMagick::Available() { return Run("convert -version >/dev/null"); }

void ImageMagick::Write(int width, int height, const std::string& options, const std::string& coder,
                        const std::string& path) {
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    // A plasma of fixed seed: every pixel different, the same picture on every run.
    if (!Run("convert -seed 7 -size " + size + " plasma:fractal " + options + " " + coder + ":'" +
             path + "'"))
        throw std::runtime_error("convert could not write " + path);
}

std::vector<std::uint8_t> ImageMagick::DecodeRgb(const std::string& path) {
    std::string raw = path + ".rgb";
    if (!Run("convert '" + path + "' -depth 8 rgb:'" + raw + "'")) return {};
    auto bytes = ReadAll(raw);
    std::remove(raw.c_str());
    return bytes;
}

}  // namespace velquist::testing
