#include "engine/CarrierWipe.h"

#include <algorithm>
#include <array>

#include "engine/CarrierFormat.h"
#include "engine/CarrierHeader.h"
#include "engine/GroupBlocks.h"
#include "engine/GroupCodec.h"
#include "platform/NumberedFiles.h"

namespace velquist {

namespace {

using namespace carrier;

void ClearGroups(NumberedFiles& files, int number, std::int64_t firstPosition,
                 std::int64_t length) {
    static constexpr std::array<std::uint8_t, 3> kZeros{};
    GroupBlocks blocks(files, number, firstPosition, length / kTripleSize);
    for (auto block = blocks.Next(); !block.empty(); block = blocks.Next()) {
        for (std::size_t g = 0; g < block.size(); g += kGroupSize)
            GroupCodec::Embed(block.data() + g, kZeros.data(), 3);
        blocks.WriteBack();
    }
    int left = static_cast<int>(length % kTripleSize);
    if (left == 0) return;
    std::array<std::uint8_t, kGroupSize> group;
    std::int64_t position = blocks.EndPosition();
    files.GetBlock(number, position, group);
    GroupCodec::Embed(group.data(), kZeros.data(), left);
    files.PutBlock(number, position, group);
}

void Wipe(NumberedFiles& files, int number) {
    CarrierHeader header = ReadCarrierHeader(files, number);
    if (header.fileLength >= kMarkerOffset + 4) files.PutU32(number, kMarkerOffset + 1, 0);
    if (header.damaged() || !header.hasHeaderGroup) return;
    std::int64_t headerGroup = header.pixelOffset + 1;
    files.PutU8(number, headerGroup + kPasswordLengthOffset, 0);
    files.PutFixedText(number, headerGroup + kPasswordOffset, "", kPasswordLength);
    // A crafted length may claim more groups than the picture holds: clear those that exist.
    std::int64_t length = std::min<std::int64_t>(
        header.messageLength(), std::max<std::int64_t>(
                                    LargestMessage(header.fileLength, header.pixelOffset), 0));
    ClearGroups(files, number, headerGroup + kHeaderGroupSize, length);
}

}  // namespace

void WipeCarrier(NumberedFiles& files, int number, const std::string& path) {
    files.OpenExisting(number, path);
    try {
        Wipe(files, number);
    } catch (const FileError&) {
        try {
            files.Close(number);
        } catch (const FileError&) {
            // Already failing; the first error is the one worth reporting.
        }
        throw;
    }
    files.Close(number);
}

}  // namespace velquist
