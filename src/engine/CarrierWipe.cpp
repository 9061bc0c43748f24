// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CarrierWipe.h"

#include <algorithm>
#include <array>

#include "engine/GroupBlocks.h"
#include "engine/codec/GroupCodec.h"
#include "engine/format/BmpHeader.h"
#include "engine/format/CarrierFormat.h"
#include "platform/FileService.h"

namespace velquist {

namespace {

using namespace carrier;

void ClearGroups(FileService& files, int number, std::int64_t firstOffset,
                 std::int64_t length) {
    static constexpr std::array<std::uint8_t, 3> kZeros{};
    GroupBlocks blocks(files, number, firstOffset, length / kTripleSize);
    for (auto block = blocks.Next(); !block.empty(); block = blocks.Next()) {
        for (std::size_t g = 0; g < block.size(); g += kGroupSize)
            GroupCodec::Embed(block.data() + g, kZeros.data(), 3);
        blocks.WriteBack();
    }
    int left = static_cast<int>(length % kTripleSize);
    if (left == 0) return;
    std::array<std::uint8_t, kGroupSize> group;
    std::int64_t offset = blocks.EndOffset();
    files.ReadAt(number, offset, group);
    GroupCodec::Embed(group.data(), kZeros.data(), left);
    files.WriteAt(number, offset, group);
}

void BlankHeaderGroup(FileService& files, int number, std::int64_t headerGroup) {
    std::array<std::uint8_t, kHeaderGroupSize - kExtensionOffset> blank;
    blank.fill(' ');
    blank[kPasswordLengthOffset] = 0;
    files.WriteAt(number, headerGroup, blank);
}

}  // namespace

void WipeCarrier(FileService& files, int number, const BmpHeader& header) {
    if (!header.damaged() && header.hasHeaderGroup) {
        BlankHeaderGroup(files, number, header.pixelOffset);
        // A crafted length may claim more groups than the picture holds: clear those that exist.
        std::int64_t length = std::min<std::int64_t>(
            header.messageLength(),
            std::max<std::int64_t>(LargestMessage(header.fileLength, header.pixelOffset), 0));
        ClearGroups(files, number, header.pixelOffset + kHeaderGroupSize, length);
        files.Flush(number);
    }
    if (header.fileLength >= kMarkerOffset + 4) {
        files.WriteAt(number, kMarkerOffset, LittleEndian32(0));
        files.Flush(number);
    }
}

}  // namespace velquist
