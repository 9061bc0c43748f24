// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "Embedder.h"

namespace velquist::detect {

// Hides a random message in a copy of the crop through the real command line, in one of its
// format versions: 1 (no password), 2 (the default with a password), 3 (the stealth format,
// `--format 3`). A version the program does not know fails like any refusal, with its message.
class CliEmbedder : public Embedder {
public:
    CliEmbedder(std::string cli, int version) : cli_(std::move(cli)), version_(version) {}
    std::string name() const override { return "version " + std::to_string(version_); }
    std::optional<Picture> embed(const Crop& crop, const Picture& cover, double rate,
                                 std::uint64_t seed, std::string& failure) const override;

    // The message length whose carried bytes (the message itself for version 1; with the
    // headers and tags of the sealed stream for versions 2 and 3) come to `rate` bits per
    // sample of a picture of `samples` colour samples.
    static std::int64_t MessageLength(int version, double rate, std::int64_t samples);

    // Hides `length` random bytes in a copy of `cover` named `copyName` (its suffix tells the
    // program the picture's kind) and hands the carrier's path to `take` before the copy goes.
    bool hideInCopy(const std::string& cover, const std::string& copyName, std::int64_t length, std::uint64_t seed,
                    std::string& failure, const std::function<void(const std::string&)>& take) const;

private:
    std::string command(const std::string& picture, const std::string& message) const;

    std::string cli_;
    int version_;
};

}  // namespace velquist::detect
