// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/history/JpegHistory.h"

#include <stdexcept>

#include "engine/history/ColourCensus.h"
#include "engine/history/GridPhase.h"

namespace velquist::history {

namespace {

// A decoded JPEG has no impossible pixel at all; a photograph that never was one has at least
// one in two hundred, even halved from a JPEG (where most pixels are averages of neighbours
// that were alike, and so often producible themselves). The margin lets a decoded JPEG with a
// few pixels touched up count.
constexpr double kMostImpossiblePixels = 0.001;
constexpr double kMostImpossibleColours = 0.02;
// Below this many colours other than greys, chance alone often leaves none impossible.
constexpr std::uint64_t kFewestColours = 256;
// Enough blocks for steady counts (a 512 x 512 picture has 4096), in a few milliseconds at
// any size.
constexpr std::size_t kMostBlocks = 1 << 14;
// Below this many distinct textured blocks the counts say too little either way.
constexpr std::uint64_t kFewestBlocks = 64;
constexpr unsigned kFewestFittedFrequencies = 6;
constexpr double kLeastEvidence = 100;
constexpr double kLeastFit = 0.7;

bool Quantised(const BlockFit& fit) {
    return fit.blocks >= kFewestBlocks && fit.fittedFrequencies >= kFewestFittedFrequencies &&
           fit.evidence >= kLeastEvidence && fit.fit >= kLeastFit;
}

}  // namespace

JpegHistory JudgeJpegHistory(const Pixels& pixels) {
    if (pixels.rgb.size() % 3 != 0 || pixels.rgb.size() / 3 != pixels.count() ||
        (!pixels.carries.empty() && pixels.carries.size() != pixels.count()))
        throw std::invalid_argument("picture sizes disagree");

    ColourCensus census = ColourCensus::Take(pixels);
    JpegHistory history;
    history.impossibleShare = census.impossibleShare();
    history.distinctColours = census.distinct;
    history.impossibleColourShare = census.distinctImpossibleShare();
    if (history.impossibleShare > kMostImpossiblePixels) return history;
    if (census.distinct >= kFewestColours) {
        history.found = history.impossibleColourShare <= kMostImpossibleColours;
        return history;
    }
    history.basis = JpegHistory::Basis::Blocks;
    bool grey = census.distinct == 0;
    history.blocks = BlockQuantisation::Measure(pixels, grey, 0, 0, kMostBlocks);
    history.found = Quantised(history.blocks);
    if (history.found) return history;
    GridPhase phase = GridPhase::Find(pixels);
    if (phase.left == 0 && phase.top == 0) return history;
    BlockFit shifted = BlockQuantisation::Measure(pixels, grey, phase.left, phase.top, kMostBlocks);
    if (Quantised(shifted)) {
        history.blocks = shifted;
        history.found = true;
    }
    return history;
}

}  // namespace velquist::history
