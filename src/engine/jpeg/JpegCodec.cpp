// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/jpeg/JpegCodec.h"

#include <new>

#include "engine/jpeg/JpegRewrite.h"
#include "engine/jpeg/LibjpegCalls.h"

namespace velquist::jpeg {

namespace {

std::vector<LibjpegPlane> PlanesOf(const JpegLayout& layout) {
    std::vector<LibjpegPlane> planes;
    for (const JpegComponent& c : layout.components)
        planes.push_back({c.id, c.h, c.v, c.widthInBlocks, c.heightInBlocks, 0, 0});
    return planes;
}

JpegCoefficients EmptyCoefficients(const JpegLayout& layout) {
    JpegCoefficients coefficients;
    std::size_t offset = 0;
    for (const JpegComponent& c : layout.components) {
        JpegPlane plane{c.widthInBlocks, c.heightInBlocks, offset};
        offset += plane.size();
        coefficients.planes.push_back(plane);
    }
    coefficients.values.resize(offset);
    return coefficients;
}

bool Fits(std::span<const std::uint8_t> file, const JpegLayout& layout, const JpegCoefficients& coefficients) {
    if (!layout.usable() || layout.imageEnd > file.size() || layout.segments.empty() ||
        layout.segments.back().end() != layout.imageEnd ||
        coefficients.planes.size() != layout.components.size())
        return false;
    std::size_t offset = 0;
    for (std::size_t i = 0; i < layout.components.size(); ++i) {
        const JpegPlane& plane = coefficients.planes[i];
        if (plane.widthInBlocks != layout.components[i].widthInBlocks ||
            plane.heightInBlocks != layout.components[i].heightInBlocks || plane.offset != offset)
            return false;
        offset += plane.size();
    }
    return coefficients.values.size() == offset;
}

}  // namespace

DecodedJpeg DecodeJpeg(std::span<const std::uint8_t> file) {
    DecodedJpeg decoded{ParseJpeg(file), {}};
    JpegLayout& layout = decoded.layout;
    if (!layout.usable()) return decoded;
    JpegCoefficients coefficients = EmptyCoefficients(layout);
    std::vector<LibjpegPlane> planes = PlanesOf(layout);
    LibjpegRead job{file.first(layout.imageEnd), layout.width, layout.height, planes, coefficients.values.data()};
    LibjpegOutcome outcome = ReadWithLibjpeg(job);
    if (outcome == LibjpegOutcome::OutOfMemory) throw std::bad_alloc();
    JpegDamage damage = outcome == LibjpegOutcome::Refused   ? JpegDamage::ScanData
                        : !coefficients.InWritableRange() ? JpegDamage::CoefficientRange
                                                          : JpegDamage::None;
    if (damage != JpegDamage::None) {
        layout.verdict = JpegVerdict::Damaged;
        layout.damage = damage;
        return decoded;
    }
    decoded.coefficients = std::move(coefficients);
    return decoded;
}

std::vector<std::uint8_t> EncodeJpeg(std::span<const std::uint8_t> file, const JpegLayout& layout,
                                     const JpegCoefficients& coefficients) {
    if (!Fits(file, layout, coefficients))
        throw std::invalid_argument("the coefficients or the layout do not belong to this JPEG");
    if (!coefficients.InWritableRange()) throw std::invalid_argument("a coefficient lies outside the writable range");
    std::vector<std::uint8_t> rewritten = JpegRewrite(file, layout, coefficients).Write();
    // libjpeg has been known to code a value its table lacks into a file that no longer
    // decodes, without a word; what replaces a photograph is read back first.
    if (DecodeJpeg(rewritten).coefficients.values != coefficients.values)
        throw JpegRewriteFailed("the rewritten JPEG does not read back as written");
    return rewritten;
}

}  // namespace velquist::jpeg
