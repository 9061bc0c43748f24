// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CliEmbedder.h"
#include "JpegEmbedder.h"

namespace velquist::detect {

// Version 3 into a copy of the JPEG crop through the real command line, the message sized so
// that the bytes carried come to the rate in bits per non-zero AC coefficient. While the
// program refuses JPEG carriers the row says "not available" with its message.
class JpegCliEmbedder : public JpegEmbedder {
public:
    explicit JpegCliEmbedder(std::string cli) : hide_(std::move(cli), 3) {}
    std::string name() const override { return "version 3"; }
    bool fits(const JpegCover& cover, double rate) const override;
    std::optional<std::vector<std::uint8_t>> embed(const Crop& crop, const JpegCover& cover, double rate,
                                                  std::uint64_t seed, std::string& failure) const override;

private:
    CliEmbedder hide_;
};

}  // namespace velquist::detect
