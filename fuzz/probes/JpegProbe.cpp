// SPDX-License-Identifier: GPL-3.0-or-later
#include "probes/JpegProbe.h"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "engine/jpeg/JpegCodec.h"

namespace velquist::probes {

namespace {

using namespace velquist::jpeg;
using Bytes = std::vector<std::uint8_t>;

// Larger pictures are only judged: a few kilobytes of arithmetic-coded data can announce a
// quarter of a billion pixels, whose coefficients say nothing new and would exhaust a fuzzer.
constexpr std::uint64_t kMaxDecodedPixels = std::uint64_t{1} << 22;

// Segments lie in order inside the file, each starting with its marker; scan data lies between
// its SOS segment and the next segment.
void CheckSegments(const JpegLayout& layout, std::span<const std::uint8_t> bytes, Findings& f) {
    std::size_t at = 0;
    for (const JpegSegment& s : layout.segments) {
        bool inside = s.offset >= at && s.size >= 2 && s.end() <= bytes.size();
        f.Expect(inside, "segment out of place");
        if (!inside) return;
        f.Expect(bytes[s.offset] == 0xFF && bytes[s.offset + 1] == s.marker, "segment without its marker");
        at = s.end();
    }
    for (const JpegScan& scan : layout.scans) {
        bool placed = scan.segment < layout.segments.size() && layout.segments[scan.segment].marker == 0xDA &&
                      scan.dataOffset == layout.segments[scan.segment].end() &&
                      scan.dataOffset + scan.dataSize <= bytes.size() &&
                      (scan.segment + 1 == layout.segments.size() ||
                       scan.dataOffset + scan.dataSize <= layout.segments[scan.segment + 1].offset);
        f.Expect(placed, "scan data out of place");
    }
}

void CheckUsable(const JpegLayout& layout, std::span<const std::uint8_t> bytes, Findings& f) {
    f.Expect(layout.segments.front().marker == 0xD8 && layout.segments.back().marker == 0xD9 &&
                 layout.segments.back().end() == layout.imageEnd && layout.imageEnd <= bytes.size(),
             "usable without start and end of image");
    int type = layout.frameType;
    f.Expect(type == 0 || type == 1 || type == 2 || type == 9 || type == 10, "usable with another frame type");
    f.Expect(layout.precision == 8 && (layout.components.size() == 1 || layout.components.size() == 3),
             "usable with other samples");
    f.Expect(layout.pixelCount() <= kMaxJpegPixels && layout.width <= kMaxJpegSide && layout.height <= kMaxJpegSide,
             "usable while too large");
    f.Expect(!layout.scans.empty() && layout.quality >= 1 && layout.quality <= 100, "usable without scans or quality");
}

void CheckDecoded(const JpegLayout& parsed, const DecodedJpeg& decoded, Findings& f) {
    const JpegLayout& layout = decoded.layout;
    if (!parsed.usable()) {
        f.Expect(layout.verdict == parsed.verdict && layout.damage == parsed.damage &&
                     layout.unsupported == parsed.unsupported,
                 "decoding changed the parser's refusal");
    } else {
        f.Expect(layout.usable() || layout.damage == JpegDamage::ScanData || layout.damage == JpegDamage::CoefficientRange,
                 "decoding refused for another reason");
    }
    std::size_t expected = 0;
    if (layout.usable())
        for (const JpegComponent& c : layout.components) expected += static_cast<std::size_t>(c.blockCount()) * 64;
    f.Expect(decoded.coefficients.values.size() == expected, "decoded coefficient count is wrong");
}

// Every segment's bytes but the Huffman tables', and what follows the end of image.
std::vector<Bytes> KeptParts(std::span<const std::uint8_t> bytes, const JpegLayout& layout) {
    std::vector<Bytes> kept;
    for (const JpegSegment& s : layout.segments)
        if (s.marker != 0xC4) kept.emplace_back(bytes.begin() + s.offset, bytes.begin() + s.end());
    kept.emplace_back(bytes.begin() + layout.imageEnd, bytes.end());
    return kept;
}

// The coefficients with the first one that may move changed by 1, inward at the range's ends.
JpegCoefficients ChangeOne(JpegCoefficients c) {
    if (c.values.empty()) return c;
    std::int16_t& v = c.values[c.values.size() / 2];
    v = static_cast<std::int16_t>(v >= kMaxAcMagnitude ? v - 1 : v + 1);
    return c;
}

void CheckRewrite(std::span<const std::uint8_t> bytes, const DecodedJpeg& decoded, Findings& f) {
    JpegCoefficients changed = ChangeOne(decoded.coefficients);
    Bytes rewritten;
    try {
        rewritten = EncodeJpeg(bytes, decoded.layout, changed);
    } catch (const std::exception& e) {
        f.Expect(false, std::string("the rewrite threw: ") + e.what());
        return;
    }
    DecodedJpeg again = DecodeJpeg(rewritten);
    f.Expect(again.layout.usable(), "the rewrite does not decode");
    f.Expect(again.coefficients.values == changed.values, "the rewrite decodes to other coefficients");
    f.Expect(KeptParts(rewritten, again.layout) == KeptParts(bytes, decoded.layout),
             "the rewrite changed a segment other than the Huffman tables");
}

}  // namespace

Findings JpegProbe::Run(std::span<const std::uint8_t> bytes) {
    Findings f;
    JpegLayout parsed = ParseJpeg(bytes);
    CheckSegments(parsed, bytes, f);
    f.Expect(parsed.usable() == (parsed.damage == JpegDamage::None && parsed.unsupported == JpegUnsupported::None),
             "verdict and reasons disagree");
    if (parsed.usable()) CheckUsable(parsed, bytes, f);
    if (parsed.pixelCount() > kMaxDecodedPixels) return f;
    DecodedJpeg decoded = DecodeJpeg(bytes);
    CheckDecoded(parsed, decoded, f);
    if (decoded.layout.usable()) CheckRewrite(bytes, decoded, f);
    return f;
}

}  // namespace velquist::probes
