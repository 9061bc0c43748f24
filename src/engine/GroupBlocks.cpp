// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/GroupBlocks.h"

#include <algorithm>

#include "engine/format/CarrierFormat.h"
#include "platform/FileService.h"

namespace velquist {

GroupBlocks::GroupBlocks(FileService& files, int number, std::int64_t firstOffset,
                         std::int64_t groupCount)
    : files_(files), number_(number), offset_(firstOffset), remaining_(groupCount) {
    buffer_.resize(static_cast<std::size_t>(std::min(groupCount, kGroupsPerBlock) *
                                            carrier::kGroupSize));
}

std::span<std::uint8_t> GroupBlocks::Next() {
    std::int64_t groups = std::min(remaining_, kGroupsPerBlock);
    block_ = std::span(buffer_).first(static_cast<std::size_t>(groups * carrier::kGroupSize));
    if (groups == 0) return block_;
    blockOffset_ = offset_;
    files_.ReadAt(number_, offset_, block_);
    offset_ += static_cast<std::int64_t>(block_.size());
    remaining_ -= groups;
    return block_;
}

void GroupBlocks::WriteBack() {
    if (!block_.empty()) files_.WriteAt(number_, blockOffset_, block_);
}

}  // namespace velquist
