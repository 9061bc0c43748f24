// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/jpeg/JpegCoefficients.h"
#include "engine/jpeg/JpegLayout.h"
#include "engine/jpeg/LibjpegCalls.h"

namespace velquist::jpeg {

// Writes new coefficients into a JPEG's own structure: libjpeg codes them with the file's
// parameters, and each scan's entropy-coded data (and any Huffman table that had to change) is
// spliced from what it wrote into the old file. A scan is coded with the tables in force for
// it, so scans whose tables differ in one slot are written in separate libjpeg runs.
class JpegRewrite {
public:
    JpegRewrite(std::span<const std::uint8_t> file, const JpegLayout& layout, const JpegCoefficients& coefficients);

    std::vector<std::uint8_t> Write();

private:
    using Bytes = std::vector<std::uint8_t>;

    // What one scan asks of the run that writes it for one component and table class.
    struct Need {
        std::uint8_t component = 0;
        std::uint8_t tableClass = 0;
        std::uint8_t slot = 0;
        std::uint8_t conditioning = 0;
        const JpegHuffmanTable* table = nullptr;  // null: any
    };
    // Scans libjpeg writes in one go: which slot each component is coded with, and what each
    // slot holds.
    struct Run {
        std::vector<std::size_t> scans;
        std::vector<Need> needs;
        std::uint16_t restartInterval = 0;
    };
    struct Output {
        Bytes file;
        JpegLayout layout;
    };
    // A scan's component coded with one of the file's Huffman tables.
    struct Use {
        std::size_t scan = 0;
        std::size_t position = 0;
        std::uint8_t tableClass = 0;
        std::size_t table = 0;
    };

    // One run can meet both: a component keeps its slot, a slot keeps its contents.
    static bool Compatible(const Need& a, const Need& b);
    std::vector<Need> NeedsOf(std::size_t scan, bool withTables) const;
    std::vector<Run> Group(bool withTables) const;
    std::vector<Output> Code(const std::vector<Run>& runs, bool optimise) const;
    LibjpegWrite JobFor(const Run& run, bool optimise, std::vector<LibjpegPlane>& planes) const;
    std::uint8_t DefaultSlot(std::uint8_t component, std::uint8_t tableClass) const;
    const JpegHuffmanTable& TableOf(const Output& output, std::size_t scan, std::size_t position,
                                    std::uint8_t tableClass) const;
    std::vector<Use> Uses() const;
    // Gives each table that must change the contents libjpeg made for the new values, and
    // tells whether the data libjpeg wrote with tables of its own can then stand as it is.
    bool KeepOptimised(const std::vector<Run>& runs, const std::vector<Output>& outputs);
    Bytes Splice(const std::vector<Run>& runs, const std::vector<Output>& outputs) const;
    Bytes TableSegment(std::size_t segment) const;

    std::span<const std::uint8_t> file_;
    const JpegLayout& layout_;
    const JpegCoefficients& coefficients_;
    std::vector<LibjpegScript> script_;
    // The contents each of the file's Huffman tables gets.
    std::vector<JpegHuffmanTable> final_;
};

}  // namespace velquist::jpeg
