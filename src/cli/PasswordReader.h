// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <istream>
#include <optional>
#include <string>

#include "engine/crypto/SecretBytes.h"

namespace velquist::cli {

// Where a password comes from: one line of standard input, or the terminal with echo off.
// Never the command line, which other users can read from the process list.
class PasswordReader {
public:
    // `inFd` is standard input's descriptor, or -1 when standard input is no file (tests).
    PasswordReader(std::istream& in, int inFd, bool fromStdin, std::string terminalPath)
        : in_(in), inFd_(inFd), fromStdin_(fromStdin), terminalPath_(std::move(terminalPath)) {}

    // False when neither standard input was offered nor a terminal can be opened, so a
    // script without one fails at once instead of waiting for a typist who is not there.
    bool CanAsk() const;
    // One line without its line end ("\n" or "\r\n"); empty at the end of the input. Typed on
    // a terminal, standard input included, it is never echoed. It goes byte by byte from the
    // descriptor into guarded memory, through no stream buffer; a line longer than any format's
    // password is cut at kLongest bytes, which no format takes.
    SecretBytes Ask(const std::string& prompt);
    static constexpr std::size_t kLongest = 1024;
    // A yes-or-no question on the terminal (Yes only for an answer starting with y); nothing
    // when there is no terminal to ask on.
    std::optional<bool> Confirm(const std::string& question);

private:
    std::istream& in_;
    int inFd_;
    bool fromStdin_;
    std::string terminalPath_;
};

}  // namespace velquist::cli
