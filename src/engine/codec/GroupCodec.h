// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velquist::GroupCodec {

// The embedding and extraction maps applied a whole group at a time through lookup tables,
// byte-identical to the field routines. `group` is 12 carrier bytes; `message` holds the
// group's message bytes: 3 for a whole group, 1 or 2 (`count`) for a partial last group,
// whose other bits keep the picture's values.
void Embed(std::uint8_t* group, const std::uint8_t* message, int count);
void Extract(const std::uint8_t* group, std::uint8_t* message, int count);

// The ways to code a run of whole groups: the table kernel works everywhere, the vector ones
// where the processor has their instructions.
enum class Kernel { Scalar, Ssse3, Avx2 };

// The kernels this processor runs, the table kernel first and the fastest last.
const std::vector<Kernel>& AvailableKernels();
const char* KernelName(Kernel kernel);

// Whole groups back to back: `groups` holds 12 * n carrier bytes, `message` 3 * n bytes.
// Without a kernel named, the fastest this processor runs.
void EmbedRun(std::uint8_t* groups, const std::uint8_t* message, std::size_t n);
void ExtractRun(const std::uint8_t* groups, std::uint8_t* message, std::size_t n);
void EmbedRun(Kernel kernel, std::uint8_t* groups, const std::uint8_t* message, std::size_t n);
void ExtractRun(Kernel kernel, const std::uint8_t* groups, std::uint8_t* message, std::size_t n);

}  // namespace velquist::GroupCodec
