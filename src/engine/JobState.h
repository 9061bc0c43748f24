// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/FixedText.h"

namespace velquist {

// The state that the window's handlers and the engine share for the whole run. Handlers and
// passes pass no arguments to each other; they all read and write this one copy. Every field
// starts zero or empty; start-up gives the few start values.
struct JobState {
    // User choices and options.
    std::string ImagePath;
    std::string MsgPath;
    std::string MsgExt;
    std::string OutPath;   // always ends with the folder separator
    std::string OutFile;   // OutPath + "output." + MsgExt
    std::int16_t ClearBmp = 0;  // -1 true, 0 false
    FixedText<8> Password;
    std::uint8_t PwdLen = 0;
    std::uint8_t PwdFlag = 0;  // 0x18 means protected

    // Facts of the current carrier.
    std::int32_t HiddenMark = 0;
    std::int32_t VersionWord = 0;

    // Engine working words and buffers.
    std::int32_t MsgLen = 0;
    std::int32_t OffBits = 0;
    std::int32_t GroupNo = 0;
    std::int32_t GroupCount = 0;
    double Percent = 0.0;
    std::array<std::uint8_t, 12> PixBuf{};
    std::array<std::uint8_t, 3> MsgBuf{};
    std::array<std::uint8_t, 8> SkipBuf{};
    std::int16_t BitVal = 0;
    std::int16_t BufIdx = 0;
};

// Start-up values that do not depend on the window.
inline constexpr std::int32_t kVersionWordStart = 0x10000000;
inline constexpr const char* kPasswordFiller = "555555555";

}  // namespace velquist
