// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "engine/stealth/jpeg/JpegView.h"

namespace velquist::stealth::testing {

struct ComponentShape {
    unsigned h, v;
    std::uint32_t blocksWide, blocksHigh;
};

// A JPEG's coefficients held by the test, and the view over them. Not copyable: the view
// points into the planes.
struct TestJpeg {
    std::vector<std::vector<std::int16_t>> planes;
    JpegView view;

    TestJpeg(std::uint32_t width, std::uint32_t height, const std::vector<ComponentShape>& shapes) {
        view.width = width;
        view.height = height;
        planes.reserve(shapes.size());
        for (const ComponentShape& s : shapes) {
            planes.emplace_back(std::size_t{64} * s.blocksWide * s.blocksHigh, 0);
            JpegComponent c;
            c.h = s.h;
            c.v = s.v;
            c.blocksWide = s.blocksWide;
            c.blocksHigh = s.blocksHigh;
            c.steps.fill(1);
            c.coefficients = planes.back();
            view.components.push_back(c);
        }
    }
    TestJpeg(const TestJpeg&) = delete;
    TestJpeg& operator=(const TestJpeg&) = delete;

    // Coefficient (v, u) of block (bx, by) of component c, found from the layout's definition.
    std::int16_t& At(std::size_t c, std::uint32_t bx, std::uint32_t by, unsigned v, unsigned u) {
        const JpegComponent& k = view.components[c];
        return planes[c][(std::size_t{by} * k.blocksWide + bx) * 64 + 8 * v + u];
    }

    // Quality-75-like luminance steps, finer at low frequencies.
    void SetPhotoSteps() {
        for (JpegComponent& c : view.components)
            for (unsigned i = 0; i < 64; ++i) c.steps[i] = static_cast<std::uint16_t>(8 + 3 * (i / 8 + i % 8));
    }

    // Block (bx, by) of component c: busy (many AC coefficients of some size), smooth (one
    // small AC coefficient) or flat (none), with a DC value either way.
    enum class Texture { Busy, Smooth, Flat };
    void Paint(std::size_t c, std::uint32_t bx, std::uint32_t by, Texture texture, std::mt19937& rng) {
        At(c, bx, by, 0, 0) = static_cast<std::int16_t>(static_cast<int>(rng() % 200) - 100);
        for (unsigned i = 1; i < 64; ++i) {
            std::int16_t value = 0;
            if (texture == Texture::Busy && i < 40) value = static_cast<std::int16_t>(static_cast<int>(rng() % 13) - 6);
            At(c, bx, by, i / 8, i % 8) = value;
        }
        if (texture == Texture::Smooth) At(c, bx, by, 0, 1) = 1;
        if (texture == Texture::Busy) At(c, bx, by, 0, 1) = 9;  // never flat by chance
    }
};

}  // namespace velquist::stealth::testing
