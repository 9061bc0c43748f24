// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts the main window's shell shows itself, in one place.
namespace velquist::texts {

inline constexpr const char* kBrowseOutputTitle = "选择脱壳文件夹";
inline constexpr const char* kUnpackTo = "隐藏信息将被脱壳到：";

// The window program's --help, printed before any window or translation is loaded.
inline constexpr const char* kCommandLineDescription =
    "Hides a file inside a 24-bit BMP picture and takes it out again.";
inline constexpr const char* kFileArgumentHelp =
    "A picture to open as the carrier, as if chosen with the picture button.";

}  // namespace velquist::texts
