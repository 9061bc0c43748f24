// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CarrierWipe.h"

#include <algorithm>
#include <array>

#include "engine/CarrierCheck.h"
#include "engine/CarrierFormat.h"
#include "engine/CarrierHeader.h"
#include "engine/FileNumbers.h"
#include "engine/GroupBlocks.h"
#include "engine/GroupCodec.h"
#include "platform/NumberedFiles.h"

namespace velquist {

namespace {

using namespace carrier;

using file_numbers::kCarrier;

void ClearGroups(NumberedFiles& files, int number, std::int64_t firstOffset,
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

void BlankHeaderGroup(NumberedFiles& files, int number, std::int64_t headerGroup) {
    std::array<std::uint8_t, kHeaderGroupSize - kExtensionOffset> blank;
    blank.fill(' ');
    blank[kPasswordLengthOffset] = 0;
    files.WriteAt(number, headerGroup, blank);
}

void Wipe(NumberedFiles& files, int number) {
    CarrierHeader header = ReadCarrierHeader(files, number);
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
        files.PutU32(number, kMarkerOffset + 1, 0);
        files.Flush(number);
    }
}

}  // namespace

void WipeCarrier(NumberedFiles& files, int number, const std::string& path) {
    files.OpenExisting(number, path);
    try {
        Wipe(files, number);
    } catch (const FileError&) {
        files.CloseQuietly(number);
        throw;
    }
    files.Close(number);
}

Outcome WipeHiddenData(NumberedFiles& files, const std::string& path) {
    CarrierHeader header;
    Outcome opened =
        OpenLockedCarrier(files, kCarrier, path, NumberedFiles::LockKind::Exclusive, header);
    if (!opened.completed()) return opened;
    try {
        if (OutcomeKind verdict = CarrierVerdict(header); verdict != OutcomeKind::Completed) {
            files.Close(kCarrier);
            return Outcome::Of(verdict, path);
        }
        if (!header.holdsData()) {
            files.Close(kCarrier);
            return Outcome::Of(OutcomeKind::NoData, path);
        }
        WipeCarrier(files, file_numbers::kWipe, path);
        files.Close(kCarrier);
    } catch (const FileError& e) {
        files.CloseQuietly(kCarrier);
        return CarrierFileFailure(e, path);
    }
    return Outcome::Of(OutcomeKind::Completed, path);
}

}  // namespace velquist
