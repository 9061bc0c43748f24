// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "platform/FileService.h"

namespace velquist {

// Reads an open file front to back, block after block; the reader owns its position.
class SequentialReader {
public:
    SequentialReader(FileService& files, int number) : files_(files), number_(number) {}

    // The next block.size() bytes, or throws (a file that ends early is an error).
    void Read(std::span<std::uint8_t> block) {
        files_.ReadAt(number_, position_, block);
        position_ += static_cast<std::int64_t>(block.size());
    }

private:
    FileService& files_;
    int number_;
    std::int64_t position_ = 0;
};

}  // namespace velquist
