// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "platform/FileService.h"

namespace velquist {

// Writes an open file front to back, block after block; the writer owns its position.
class SequentialWriter {
public:
    SequentialWriter(FileService& files, int number) : files_(files), number_(number) {}

    void Write(std::span<const std::uint8_t> block) {
        files_.WriteAt(number_, position_, block);
        position_ += static_cast<std::int64_t>(block.size());
    }

private:
    FileService& files_;
    int number_;
    std::int64_t position_ = 0;
};

}  // namespace velquist
