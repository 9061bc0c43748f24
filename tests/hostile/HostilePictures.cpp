// SPDX-License-Identifier: GPL-3.0-or-later
#include "HostilePictures.h"

#include <stdexcept>

#include "support/CarrierBuilder.h"
#include "support/PassHarness.h"

namespace velquist::testing::HostilePictures {

std::vector<std::uint8_t> Ordinary() { return CarrierBuilder{.width = 8, .height = 4}.Build(); }

std::vector<std::uint8_t> Cut(std::size_t length) {
    auto bytes = Ordinary();
    bytes.resize(length);
    return bytes;
}

std::vector<std::uint8_t> WithHeader(std::int32_t pixelOffset, std::uint32_t marker) {
    auto bytes = Ordinary();
    PutLE32(bytes, 10, static_cast<std::uint32_t>(pixelOffset));
    PutLE32(bytes, 6, marker);
    return bytes;
}

std::vector<std::uint8_t> WithField(std::size_t at, std::uint32_t value, std::uint32_t marker) {
    auto bytes = Ordinary();
    PutLE32(bytes, at, value);
    PutLE32(bytes, 6, marker);
    return bytes;
}

std::vector<std::uint8_t> Holding(const std::vector<std::uint8_t>& message,
                                  const std::vector<std::uint8_t>& extension) {
    PassHarness h;
    h.MakeCarrier(CarrierBuilder{.width = 8, .height = 4});
    h.MakeMessage(message);
    h.Hide();
    if (!h.job.HiddenMark) throw std::runtime_error("could not hide the test message");
    auto bytes = h.Carrier();
    for (std::size_t i = 0; i < 3; ++i) bytes[54 + i] = extension[i];
    return bytes;
}

}  // namespace velquist::testing::HostilePictures
