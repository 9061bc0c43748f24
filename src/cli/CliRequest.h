// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velquist::cli {

enum class Command { Help, Version, Inspect, Hide, Extract, Wipe };

// One command line, checked against what its subcommand accepts.
struct CliRequest {
    Command command = Command::Help;
    std::string picture;
    std::string message;      // hide
    std::string outputDir = ".";  // extract
    bool json = false;        // inspect
    // A password, asked on the terminal (or read from standard input): hide protects with it,
    // extract and wipe look for a version-3 message with it where no other is marked.
    bool password = false;
    bool passwordStdin = false;
    int format = 2;           // hide: the carrier format of a protected message, 1, 2 or 3
    bool wipe = false;        // extract
    bool force = false;       // extract: replace an existing output without asking
};

// The request, or nothing with `error` (an English message id) saying what is wrong with the
// arguments and `detail` the argument concerned, if any.
struct UsageError {
    const char* error = nullptr;
    std::string detail;
};
std::optional<CliRequest> ParseRequest(const std::vector<std::string>& args, UsageError& error);

}  // namespace velquist::cli
