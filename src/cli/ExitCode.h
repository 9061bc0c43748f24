// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist::cli {

// What the process tells a script; documented in --help and the README.
enum class ExitCode : int {
    Ok = 0,
    Usage = 2,       // wrong arguments, or a password is needed and none can be asked
    Refused = 3,     // the window would refuse the same request
    BadPicture = 4,  // missing, a folder, truncated, damaged or not 24-bit
    IoFailure = 5,   // the message, the output or the carrier could not be read or written
};

}  // namespace velquist::cli
