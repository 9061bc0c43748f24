// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/stealth/CostModel.h"

namespace velquist::stealth {

// How strongly changes already planned pull a sample's change their way, in eighths of an octave
// of cost per agreeing change: its own change of the round before (so a good choice stays
// cheap), each other colour sample of its pixel (so a pixel brightens or darkens as a whole and
// its colour differences stay as they were), and each of its four neighbours in the same plane.
// A change against them costs as much more.
struct Coupling {
    int self = 8;
    int pixel = 16;
    int neighbour = 6;
};

// The default costs: HILL on each colour plane, and changes steered so that those of a pixel's
// three samples, and of neighbouring pixels, go the same way.
class CoupledHillCosts final : public CostModel {
public:
    explicit CoupledHillCosts(Coupling coupling = {}) : coupling_(coupling) {}

    void FillBaseCosts(const PictureView& picture, std::span<float> costs,
                       unsigned threads) const override;
    void FillSteering(const PictureView& picture, std::span<const std::int8_t> planned,
                      const RandomBits& ties, std::span<std::uint8_t> steering,
                      unsigned threads) const override;

private:
    class Neighbourhood;

    void SteerRow(const PictureView& picture, std::span<const std::int8_t> planned,
                  const RandomBits& ties, std::span<std::uint8_t> steering,
                  const Neighbourhood& rows, std::uint32_t y) const;

    Coupling coupling_;
};

}  // namespace velquist::stealth
