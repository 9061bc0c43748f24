// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/jpeg/JpegMarkerWalk.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "engine/bytes/ByteReader.h"

namespace velquist::jpeg {

namespace {

using bytes::ByteReader;
using bytes::ShortInput;
using Steps = std::array<std::uint16_t, 64>;

constexpr std::uint8_t kSoi = 0xD8;
constexpr std::uint8_t kEoi = 0xD9;
constexpr std::uint8_t kSos = 0xDA;
constexpr std::uint8_t kDqt = 0xDB;
constexpr std::uint8_t kDri = 0xDD;
constexpr std::uint8_t kDhp = 0xDE;
constexpr std::uint8_t kExp = 0xDF;
constexpr std::uint8_t kDht = 0xC4;
constexpr std::uint8_t kJpg = 0xC8;
constexpr std::uint8_t kDac = 0xCC;
constexpr std::uint8_t kApp0 = 0xE0;
constexpr std::uint8_t kApp14 = 0xEE;
constexpr std::uint8_t kCom = 0xFE;
constexpr std::uint8_t kTem = 0x01;
// The largest successive-approximation bit an 8-bit picture's coefficients (11 bits) need.
constexpr std::uint8_t kMaxApproximationBit = 10;
// Blocks one MCU of an interleaved scan may hold.
constexpr int kMaxBlocksInMcu = 10;

// Zig-zag position k holds the coefficient at natural index kZigzag[k].
constexpr std::array<std::uint8_t, 64> kZigzag = [] {
    std::array<std::uint8_t, 64> order{};
    int k = 0;
    for (int diagonal = 0; diagonal < 15; ++diagonal) {
        for (int i = 0; i <= diagonal; ++i) {
            int row = diagonal % 2 == 0 ? diagonal - i : i;
            int column = diagonal - row;
            if (row < 8 && column < 8) order[k++] = static_cast<std::uint8_t>(8 * row + column);
        }
    }
    return order;
}();

bool IsRestart(std::uint8_t marker) { return marker >= 0xD0 && marker <= 0xD7; }

// SOF0 to SOF15 but DHT, JPG and DAC, which share the range.
bool IsFrame(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != kDht && marker != kJpg && marker != kDac;
}

bool IsHierarchicalFrame(int type) { return (type >= 5 && type <= 7) || type >= 13; }

bool StartsWith(std::span<const std::uint8_t> body, std::string_view text) {
    return body.size() >= text.size() && std::equal(text.begin(), text.end(), body.begin());
}

// A fault in the bytes themselves: the walk stops at it.
struct Fault {
    JpegDamage damage;
};

std::uint32_t BlocksFor(std::uint32_t side, int factor, int maxFactor) {
    std::uint64_t samples = std::uint64_t{side} * static_cast<std::uint64_t>(factor);
    std::uint64_t perBlock = 8 * static_cast<std::uint64_t>(maxFactor);
    return static_cast<std::uint32_t>((samples + perBlock - 1) / perBlock);
}

// Whether canonical codes of these lengths fit, the all-ones code of each length left free.
bool CodesFit(const std::array<std::uint8_t, 16>& counts) {
    std::uint32_t code = 0;
    for (int length = 1; length <= 16; ++length) {
        code += counts[static_cast<std::size_t>(length - 1)];
        if (code >= (std::uint32_t{1} << length)) return false;
        code <<= 1;
    }
    return true;
}

class Walker {
public:
    Walker(std::span<const std::uint8_t> file, JpegLayout& layout, WalkNotes& notes)
        : reader_(file), layout_(layout), notes_(notes) {
        dcTables_.fill(-1);
        acTables_.fill(-1);
        dcConditioning_.fill(0x10);
        acConditioning_.fill(5);
    }

    JpegDamage Run() {
        try {
            ReadStart();
            while (!ReadSegment()) {
            }
            return JpegDamage::None;
        } catch (const Fault& fault) {
            return fault.damage;
        }
    }

private:
    void Misfit(JpegDamage damage) {
        if (notes_.firstMisfit == JpegDamage::None) notes_.firstMisfit = damage;
    }

    void ReadStart() {
        if (!reader_.Has(2) || reader_.U8() != 0xFF || reader_.U8() != kSoi) throw Fault{JpegDamage::NotJpeg};
        layout_.segments.push_back({kSoi, 0, 2});
    }

    // The next marker after any fill bytes; the reader then stands after it.
    std::uint8_t ReadMarker() {
        if (!reader_.Has(1)) throw Fault{JpegDamage::MissingEnd};
        if (reader_.U8() != 0xFF) throw Fault{JpegDamage::BadMarker};
        std::uint8_t marker = 0xFF;
        while (marker == 0xFF) {
            if (!reader_.Has(1)) throw Fault{JpegDamage::MissingEnd};
            marker = reader_.U8();
        }
        return marker;
    }

    // Reads one segment; true once it was the end of image.
    bool ReadSegment() {
        std::uint8_t marker = ReadMarker();
        std::size_t offset = reader_.Position() - 2;
        if (marker == kEoi) {
            if (layout_.scans.empty())
                throw Fault{notes_.frames == 0 ? JpegDamage::MissingFrame : JpegDamage::MissingScan};
            layout_.segments.push_back({marker, offset, 2});
            layout_.imageEnd = reader_.Position();
            return true;
        }
        if (IsRestart(marker) || marker == kTem) {
            layout_.segments.push_back({marker, offset, 2});
            return false;
        }
        if (!Known(marker)) throw Fault{JpegDamage::BadMarker};
        ByteReader body = ReadBody();
        layout_.segments.push_back({marker, offset, reader_.Position() - offset});
        try {
            ReadContents(marker, body);
        } catch (const ShortInput&) {
            throw Fault{JpegDamage::BadSegment};
        }
        return false;
    }

    static bool Known(std::uint8_t marker) {
        return IsFrame(marker) || marker == kDht || marker == kDac || (marker >= kSos && marker <= kExp) ||
               (marker >= kApp0 && marker <= 0xEF) || marker == kCom;
    }

    ByteReader ReadBody() {
        try {
            std::uint16_t length = reader_.U16BE();
            if (length < 2) throw Fault{JpegDamage::SegmentPastEnd};
            return reader_.Sub(length - 2u);
        } catch (const ShortInput&) {
            throw Fault{JpegDamage::SegmentPastEnd};
        }
    }

    void ReadContents(std::uint8_t marker, ByteReader& body) {
        std::size_t segment = layout_.segments.size() - 1;
        if (IsFrame(marker)) return ReadFrame(marker, body, segment);
        switch (marker) {
            case kDht: return ReadHuffmanTables(body, segment);
            case kDqt: return ReadQuantTables(body);
            case kDac: return ReadConditioning(body);
            case kDri: return ReadRestartInterval(body);
            case kSos: return ReadScan(body, segment);
            case kDhp:
            case kExp: notes_.hierarchical = true; return;
            case kApp0: layout_.hasJfif = layout_.hasJfif || StartsWith(body.Rest(), {"JFIF\0", 5}); return;
            case kApp14: layout_.hasAdobe = layout_.hasAdobe || StartsWith(body.Rest(), "Adobe"); return;
            default: return;  // APPn, COM, DNL: kept as they are
        }
    }

    void ReadFrame(std::uint8_t marker, ByteReader& body, std::size_t segment) {
        std::uint8_t precision = body.U8();
        std::uint16_t height = body.U16BE();
        std::uint16_t width = body.U16BE();
        std::uint8_t count = body.U8();
        if (count == 0 || body.Remaining() != 3u * count || width == 0 || height == 0)
            throw Fault{JpegDamage::BadSegment};
        std::vector<JpegComponent> components;
        for (int i = 0; i < count; ++i) {
            JpegComponent c;
            c.id = body.U8();
            std::uint8_t factors = body.U8();
            c.h = factors >> 4;
            c.v = factors & 15;
            c.quantSlot = body.U8();
            bool repeated = std::any_of(components.begin(), components.end(),
                                        [&](const JpegComponent& o) { return o.id == c.id; });
            if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4 || c.quantSlot > 3 || repeated)
                throw Fault{JpegDamage::BadSegment};
            components.push_back(c);
        }
        int type = marker - 0xC0;
        notes_.hierarchical = notes_.hierarchical || IsHierarchicalFrame(type);
        if (++notes_.frames > 1) return;
        layout_.frameSegment = segment;
        layout_.frameType = static_cast<std::uint8_t>(type);
        layout_.precision = precision;
        layout_.width = width;
        layout_.height = height;
        layout_.progressive = type == 2 || type == 6 || type == 10 || type == 14;
        layout_.arithmetic = type >= 9;
        int hMax = 1;
        int vMax = 1;
        for (const JpegComponent& c : components) {
            hMax = std::max<int>(hMax, c.h);
            vMax = std::max<int>(vMax, c.v);
        }
        for (JpegComponent& c : components) {
            c.widthInBlocks = BlocksFor(width, c.h, hMax);
            c.heightInBlocks = BlocksFor(height, c.v, vMax);
        }
        layout_.components = std::move(components);
        latched_.assign(layout_.components.size(), false);
    }

    void ReadHuffmanTables(ByteReader& body, std::size_t segment) {
        while (!body.AtEnd()) {
            JpegHuffmanTable table;
            std::uint8_t classAndSlot = body.U8();
            table.tableClass = classAndSlot >> 4;
            table.slot = classAndSlot & 15;
            table.segment = segment;
            std::size_t total = 0;
            for (std::uint8_t& count : table.counts) {
                count = body.U8();
                total += count;
            }
            if (table.tableClass > 1 || table.slot > 3 || total > 256 || !CodesFit(table.counts))
                throw Fault{JpegDamage::BadSegment};
            std::span<const std::uint8_t> symbols = body.Bytes(total);
            table.symbols.assign(symbols.begin(), symbols.end());
            std::array<bool, 256> seen{};
            for (std::uint8_t s : table.symbols) {
                if (seen[s] || (table.tableClass == 0 && s > 15)) throw Fault{JpegDamage::BadSegment};
                seen[s] = true;
            }
            auto& slots = table.tableClass == 0 ? dcTables_ : acTables_;
            slots[table.slot] = static_cast<int>(layout_.huffmanTables.size());
            layout_.huffmanTables.push_back(std::move(table));
        }
    }

    void ReadQuantTables(ByteReader& body) {
        while (!body.AtEnd()) {
            std::uint8_t precisionAndSlot = body.U8();
            std::uint8_t wide = precisionAndSlot >> 4;
            std::uint8_t slot = precisionAndSlot & 15;
            if (wide > 1 || slot > 3) throw Fault{JpegDamage::BadSegment};
            Steps steps{};
            for (std::uint8_t natural : kZigzag) steps[natural] = wide ? body.U16BE() : body.U8();
            quant_[slot] = steps;
        }
    }

    void ReadConditioning(ByteReader& body) {
        if (body.Remaining() % 2 != 0) throw Fault{JpegDamage::BadSegment};
        while (!body.AtEnd()) {
            std::uint8_t classAndSlot = body.U8();
            std::uint8_t value = body.U8();
            std::uint8_t tableClass = classAndSlot >> 4;
            std::uint8_t slot = classAndSlot & 15;
            bool valid = tableClass == 0 ? (value & 15) <= (value >> 4) : value >= 1 && value <= 63;
            if (tableClass > 1 || slot > 3 || !valid) throw Fault{JpegDamage::BadSegment};
            (tableClass == 0 ? dcConditioning_ : acConditioning_)[slot] = value;
        }
    }

    void ReadRestartInterval(ByteReader& body) {
        if (body.Remaining() != 2) throw Fault{JpegDamage::BadSegment};
        restart_ = body.U16BE();
    }

    void ReadScan(ByteReader& body, std::size_t segment) {
        if (notes_.frames == 0) throw Fault{JpegDamage::MissingFrame};
        std::uint8_t count = body.U8();
        if (count < 1 || count > 4 || body.Remaining() != 2u * count + 3) throw Fault{JpegDamage::BadSegment};
        JpegScan scan;
        scan.segment = segment;
        scan.restartInterval = restart_;
        std::array<std::uint8_t, 4> ids{};
        std::array<std::uint8_t, 4> slots{};
        for (int i = 0; i < count; ++i) {
            ids[i] = body.U8();
            slots[i] = body.U8();
            if ((slots[i] >> 4) > 3 || (slots[i] & 15) > 3) throw Fault{JpegDamage::BadSegment};
        }
        scan.ss = body.U8();
        scan.se = body.U8();
        std::uint8_t approximation = body.U8();
        scan.ah = approximation >> 4;
        scan.al = approximation & 15;
        CheckParameters(scan, count);
        for (int i = 0; i < count; ++i) AddComponent(scan, ids[i], slots[i]);
        CheckMcuSize(scan);
        scan.dataOffset = reader_.Position();
        scan.dataSize = SkipScanData() - scan.dataOffset;
        layout_.scans.push_back(std::move(scan));
    }

    void CheckParameters(JpegScan& scan, int count) {
        if (!layout_.progressive) {
            scan.codesDc = scan.codesAc = true;
            if (scan.ss != 0 || scan.se != 63 || scan.ah != 0 || scan.al != 0) Misfit(JpegDamage::ScanScript);
            return;
        }
        scan.codesDc = scan.ss == 0 && scan.ah == 0;
        scan.codesAc = scan.ss > 0;
        bool bands = scan.ss == 0 ? scan.se == 0 : scan.se >= scan.ss && scan.se <= 63 && count == 1;
        bool bits = scan.al <= kMaxApproximationBit && (scan.ah == 0 || scan.al + 1 == scan.ah);
        if (!bands || !bits) Misfit(JpegDamage::ScanScript);
    }

    // Adds the frame component `id` with the tables in force; a component the frame lacks, or
    // named out of the frame's order, makes the scan header unsound.
    void AddComponent(JpegScan& scan, std::uint8_t id, std::uint8_t slots) {
        const auto& frame = layout_.components;
        auto found = std::find_if(frame.begin(), frame.end(), [id](const JpegComponent& c) { return c.id == id; });
        auto index = static_cast<std::uint8_t>(found - frame.begin());
        if (found == frame.end() || (!scan.components.empty() && index <= scan.components.back().component)) {
            Misfit(JpegDamage::BadSegment);
            return;
        }
        JpegScanComponent c;
        c.component = index;
        c.dcSlot = slots >> 4;
        c.acSlot = slots & 15;
        c.dcConditioning = dcConditioning_[c.dcSlot];
        c.acConditioning = acConditioning_[c.acSlot];
        if (!layout_.arithmetic) {
            if (scan.codesDc) c.dcTable = dcTables_[c.dcSlot];
            if (scan.codesAc) c.acTable = acTables_[c.acSlot];
            if ((scan.codesDc && c.dcTable < 0) || (scan.codesAc && c.acTable < 0)) Misfit(JpegDamage::MissingTable);
        }
        LatchSteps(index);
        scan.components.push_back(c);
    }

    // A component keeps the steps in force at its first scan, whatever is defined later.
    void LatchSteps(std::uint8_t index) {
        if (latched_[index]) return;
        latched_[index] = true;
        JpegComponent& component = layout_.components[index];
        if (!quant_[component.quantSlot]) {
            Misfit(JpegDamage::MissingTable);
            return;
        }
        component.steps = *quant_[component.quantSlot];
    }

    void CheckMcuSize(const JpegScan& scan) {
        if (scan.components.size() < 2) return;
        int blocks = 0;
        for (const JpegScanComponent& c : scan.components)
            blocks += layout_.components[c.component].h * layout_.components[c.component].v;
        if (blocks > kMaxBlocksInMcu) Misfit(JpegDamage::BadSegment);
    }

    // Moves past the entropy-coded data (stuffed bytes and restart markers included) to the
    // fill bytes before the next marker, and returns where they start.
    std::size_t SkipScanData() {
        for (;;) {
            std::span<const std::uint8_t> rest = reader_.Rest();
            auto ff = std::find(rest.begin(), rest.end(), std::uint8_t{0xFF});
            if (ff == rest.end()) throw Fault{JpegDamage::MissingEnd};
            reader_.Skip(static_cast<std::size_t>(ff - rest.begin()));
            std::size_t run = reader_.Position();
            while (reader_.Has(1) && reader_.Rest().front() == 0xFF) reader_.Skip(1);
            if (!reader_.Has(1)) throw Fault{JpegDamage::MissingEnd};
            std::uint8_t next = reader_.Rest().front();
            if (next != 0 && !IsRestart(next)) {
                reader_.Seek(run);
                return run;
            }
            reader_.Skip(1);
        }
    }

    ByteReader reader_;
    JpegLayout& layout_;
    WalkNotes& notes_;
    std::array<int, 4> dcTables_{};
    std::array<int, 4> acTables_{};
    std::array<std::optional<Steps>, 4> quant_{};
    std::array<std::uint8_t, 4> dcConditioning_{};
    std::array<std::uint8_t, 4> acConditioning_{};
    std::uint16_t restart_ = 0;
    std::vector<bool> latched_;
};

}  // namespace

JpegDamage WalkMarkers(std::span<const std::uint8_t> file, JpegLayout& layout, WalkNotes& notes) {
    return Walker(file, layout, notes).Run();
}

}  // namespace velquist::jpeg
