// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/stealth/CostModel.h"

namespace velquist::stealth {

// How strongly the changes of the round before pull a sample's change their way, in eighths of
// an octave of cost per agreeing change: its own (so a choice that served stays cheap), each
// other colour sample of its pixel, and each of its four neighbours in the same plane. A change
// against them costs as much more. The pull of the pixel is the strong one: a pixel whose three
// samples all change the same way keeps its colour differences, which a detector of colour
// pictures watches; so the rounds gather the changes into whole pixels. On photographs at 0.1
// bits per sample, the weights below leave about a quarter fewer pixels with a lone change than
// independent costs do, though only some 6% fewer moved colour differences: the code needs as
// many flipped bits as before, and whole pixels take three.
struct Coupling {
    int self = 8;
    int pixel = 56;
    int neighbour = 4;
};

// The default costs: HILL on the colour planes and on their differences, steered so that the
// changes of a pixel's three samples, and of neighbouring pixels, go the same way.
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
