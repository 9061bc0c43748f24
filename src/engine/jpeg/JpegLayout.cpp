// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/jpeg/JpegLayout.h"

#include <algorithm>
#include <set>

#include "engine/jpeg/JpegMarkerWalk.h"
#include "engine/jpeg/JpegQuality.h"

namespace velquist::jpeg {

namespace {

constexpr int kMaxDcSize = 11;
constexpr int kMaxAcSize = 10;

JpegUnsupported KindRule(const JpegLayout& layout, const WalkNotes& notes) {
    int type = layout.frameType;
    if (type == 3 || type == 7 || type == 11 || type == 15) return JpegUnsupported::Lossless;
    if (notes.hierarchical) return JpegUnsupported::Hierarchical;
    if (layout.precision != 8) return JpegUnsupported::Precision;
    if (layout.components.size() != 1 && layout.components.size() != 3) return JpegUnsupported::ComponentCount;
    if (notes.frames > 1) return JpegUnsupported::SeveralFrames;
    if (layout.width > kMaxJpegSide || layout.height > kMaxJpegSide || layout.pixelCount() > kMaxJpegPixels)
        return JpegUnsupported::TooLarge;
    return JpegUnsupported::None;
}

// Every component coded once in a sequential frame; in a progressive one each coefficient's
// bits from the highest down, the DC coefficient first and each component's DC at all.
bool ScansMakeOnePicture(const JpegLayout& layout) {
    std::size_t count = layout.components.size();
    if (!layout.progressive) {
        std::vector<int> coded(count, 0);
        for (const JpegScan& scan : layout.scans)
            for (const JpegScanComponent& c : scan.components) ++coded[c.component];
        return std::all_of(coded.begin(), coded.end(), [](int n) { return n == 1; });
    }
    std::vector<std::array<int, 64>> lowestBit(count);
    for (auto& bits : lowestBit) bits.fill(-1);
    for (const JpegScan& scan : layout.scans) {
        for (const JpegScanComponent& c : scan.components) {
            std::array<int, 64>& bits = lowestBit[c.component];
            if (scan.ss > 0 && bits[0] < 0) return false;
            for (int k = scan.ss; k <= scan.se; ++k) {
                if (scan.ah != (bits[k] < 0 ? 0 : bits[k])) return false;
                bits[k] = scan.al;
            }
        }
    }
    return std::all_of(lowestBit.begin(), lowestBit.end(), [](const auto& bits) { return bits[0] >= 0; });
}

// Whether every bit of every coefficient is sent: a progressive script may stop short.
bool SendsEveryBit(const JpegLayout& layout) {
    if (!layout.progressive) return true;
    std::vector<std::array<bool, 64>> whole(layout.components.size());
    for (const JpegScan& scan : layout.scans)
        for (const JpegScanComponent& c : scan.components)
            for (int k = scan.ss; k <= scan.se; ++k) whole[c.component][static_cast<std::size_t>(k)] = scan.al == 0;
    return std::all_of(whole.begin(), whole.end(),
                       [](const auto& bits) { return std::all_of(bits.begin(), bits.end(), [](bool b) { return b; }); });
}

// Each Huffman-coded block needs at least one bit in each scan that codes its DC coefficient
// or refines it, so a small file announcing a huge picture is refused before anything is
// allocated for it. Arithmetic coding has no such floor.
bool HuffmanDataCanHoldBlocks(const JpegLayout& layout) {
    if (layout.arithmetic) return true;
    for (const JpegScan& scan : layout.scans) {
        if (scan.ss != 0) continue;
        std::uint64_t blocks = 0;
        for (const JpegScanComponent& c : scan.components) blocks += layout.components[c.component].blockCount();
        if (std::uint64_t{scan.dataSize} * 8 < blocks) return false;
    }
    return true;
}

// The file has one place for each table: a progressive scan's tables are made anew for its
// values (the writer knows no other way), so no two progressive scans may share one; a
// sequential table that lacks symbols may need to grow, so no two sequential scans may
// share one of those.
bool SharesTables(const JpegLayout& layout) {
    if (layout.arithmetic) return false;
    std::vector<std::set<std::size_t>> users(layout.huffmanTables.size());
    for (std::size_t s = 0; s < layout.scans.size(); ++s) {
        for (const JpegScanComponent& c : layout.scans[s].components) {
            if (c.dcTable >= 0) users[static_cast<std::size_t>(c.dcTable)].insert(s);
            if (c.acTable >= 0) users[static_cast<std::size_t>(c.acTable)].insert(s);
        }
    }
    for (std::size_t t = 0; t < users.size(); ++t)
        if (users[t].size() > 1 && (layout.progressive || !layout.huffmanTables[t].CodesEverySymbol()))
            return true;
    return false;
}

JpegLayout Damaged(JpegLayout layout, JpegDamage damage) {
    layout.verdict = JpegVerdict::Damaged;
    layout.damage = damage;
    return layout;
}

JpegLayout Unsupported(JpegLayout layout, JpegUnsupported reason) {
    layout.verdict = JpegVerdict::Unsupported;
    layout.unsupported = reason;
    return layout;
}

}  // namespace

bool JpegHuffmanTable::Codes(std::span<const std::uint8_t> wanted) const {
    std::array<bool, 256> has{};
    for (std::uint8_t s : symbols) has[s] = true;
    return std::all_of(wanted.begin(), wanted.end(), [&](std::uint8_t s) { return has[s]; });
}

bool JpegHuffmanTable::CodesEverySymbol() const {
    std::vector<std::uint8_t> every;
    if (tableClass == 0) {
        for (int size = 0; size <= kMaxDcSize; ++size) every.push_back(static_cast<std::uint8_t>(size));
    } else {
        every = {0x00, 0xF0};
        for (int run = 0; run < 16; ++run)
            for (int size = 1; size <= kMaxAcSize; ++size) every.push_back(static_cast<std::uint8_t>(run << 4 | size));
    }
    return Codes(every);
}

JpegLayout ParseJpeg(std::span<const std::uint8_t> file) {
    JpegLayout layout;
    WalkNotes notes;
    if (JpegDamage damage = WalkMarkers(file, layout, notes); damage != JpegDamage::None)
        return Damaged(std::move(layout), damage);
    if (JpegUnsupported kind = KindRule(layout, notes); kind != JpegUnsupported::None)
        return Unsupported(std::move(layout), kind);
    if (notes.firstMisfit != JpegDamage::None) return Damaged(std::move(layout), notes.firstMisfit);
    if (!ScansMakeOnePicture(layout)) return Damaged(std::move(layout), JpegDamage::ScanScript);
    if (!HuffmanDataCanHoldBlocks(layout)) return Damaged(std::move(layout), JpegDamage::DataTooShort);
    if (!SendsEveryBit(layout)) return Unsupported(std::move(layout), JpegUnsupported::PartialScript);
    if (SharesTables(layout)) return Unsupported(std::move(layout), JpegUnsupported::SharedTables);
    layout.restartInterval = layout.scans.front().restartInterval;
    layout.quality = EstimateQuality(layout.components.front().steps);
    layout.luminanceStepsMostlyOne = StepsMostlyOne(layout.components.front().steps);
    layout.verdict = JpegVerdict::Usable;
    return layout;
}

}  // namespace velquist::jpeg
