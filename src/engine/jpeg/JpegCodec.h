// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "engine/jpeg/JpegCoefficients.h"
#include "engine/jpeg/JpegLayout.h"

namespace velquist::jpeg {

struct DecodedJpeg {
    // ParseJpeg's verdict, turned to damaged (JpegDamage::ScanData or CoefficientRange) when
    // the scans do not decode cleanly to coefficients the writer can code again.
    JpegLayout layout;
    // Empty unless the layout is usable.
    JpegCoefficients coefficients;
};

// libjpeg could not write the new coefficients in the file's own structure, or what it wrote
// does not read back as them. Not expected for a usable layout.
class JpegRewriteFailed final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses `file` and, when usable, reads every quantised coefficient of every component with
// libjpeg (nothing is decoded to pixels). Only the bytes up to the end of image reach libjpeg.
// Throws std::bad_alloc when the coefficients do not fit in memory.
DecodedJpeg DecodeJpeg(std::span<const std::uint8_t> file);

// The file with the entropy-coded data of every scan replaced by `coefficients` coded as the
// scan was (its part of the scan script, restart interval, Huffman tables or arithmetic
// conditioning); every other byte stays as it was, in its place, data after the end of image
// included, except the contents of a DHT segment whose tables cannot code the new values (or,
// in a progressive Huffman file, are not those made for them), which gets tables made for them.
// `layout` is ParseJpeg's or DecodeJpeg's usable answer for `file`, and `coefficients` has its
// geometry. The new file is read back before it is returned. Throws std::invalid_argument when
// they do not fit or a value lies outside the writable range, std::bad_alloc when memory runs
// out, JpegRewriteFailed when libjpeg fails.
std::vector<std::uint8_t> EncodeJpeg(std::span<const std::uint8_t> file, const JpegLayout& layout,
                                     const JpegCoefficients& coefficients);

}  // namespace velquist::jpeg
