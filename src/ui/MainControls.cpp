// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainControls.h"

#include <array>

#include "ui/UiTexts.h"

namespace velquist {

namespace {

using K = ControlKind;
namespace T = UiTexts;

constexpr std::int32_t kYellow = 0xFFFF00;
constexpr std::int32_t kCyan = 0x00FFFF;

// clang-format off
constexpr std::array kControls{
    ControlRow{"LabCue1",       K::Label,       nullptr,  T::kLabCue1,       1200,  120, 4575,  735,  2, kYellow,   kNoColour, kControlPoints},
    ControlRow{"LabCue2",       K::Label,       nullptr,  T::kLabCue2,       1200,  960, 4575,  615,  3, kYellow,   kNoColour, kControlPoints},
    ControlRow{"LabOutPath",    K::Label,       nullptr,  "",                1200, 1680, 4575,  615,  7, kYellow,   kNoColour, kControlPoints},
    ControlRow{"Label5",        K::Label,       nullptr,  T::kLabel5,         120,  360,  975,  375, 10, kCyan,     kNoColour, kControlPoints},
    ControlRow{"Label4",        K::Label,       nullptr,  T::kLabel4,         120, 1200,  975,  255,  9, kCyan,     kNoColour, kControlPoints},
    ControlRow{"Label3",        K::Label,       nullptr,  T::kLabel3,         120, 1800,  975,  495,  8, kCyan,     kNoColour, kControlPoints},
    ControlRow{"cmdopen",       K::Button,      nullptr,  T::kCmdopen,       6000,  360, 1695,  375, 15, kNoColour, kNoColour, kControlPoints},
    ControlRow{"CmdMsgSelect",  K::Button,      nullptr,  T::kCmdMsgSelect,  6000, 1080, 1695,  375, 16, kNoColour, kNoColour, kControlPoints},
    ControlRow{"cmdchgOutPath", K::Button,      nullptr,  T::kCmdchgOutPath, 6000, 1800, 1695,  375, 17, kNoColour, kNoColour, kControlPoints},
    ControlRow{"Frame1",        K::Frame,       nullptr,  T::kFrame1,         120, 2400, 3735, 2895, 27, kNoColour, 0x008080,  kControlPoints, false},
    ControlRow{"Imagepre",      K::Image,       "Frame1", "",                 120,  240, 3495, 2535, -1, kNoColour, kNoColour, 0},
    ControlRow{"ChkclearBmp",   K::CheckBox,    nullptr,  T::kChkclearBmp,   4200, 2640, 3255,  255, 18, kCyan,     kNoColour, kControlPoints},
    ControlRow{"ChkPassword",   K::CheckBox,    nullptr,  T::kChkPassword,   4200, 3240, 2055,  255,  4, kCyan,     kNoColour, kControlPoints},
    ControlRow{"Label2",        K::Label,       nullptr,  T::kLabel2,        4200, 3840,  615,  375, 25, kCyan,     kNoColour, kControlPoints},
    ControlRow{"Text1",         K::PasswordBox, nullptr,  "",                4920, 3840,  975,  315, 22, kNoColour, kNoColour, kWindowPoints, true, false},
    ControlRow{"Label1",        K::Label,       nullptr,  T::kLabel1,        4200, 4560,  615,  255, 26, kCyan,     kNoColour, kControlPoints},
    ControlRow{"Text2",         K::PasswordBox, nullptr,  "",                4920, 4440,  975,  375, 21, kNoColour, kNoColour, kWindowPoints, true, false},
    ControlRow{"ChkEncrypt",    K::CheckBox,    nullptr,  T::kChkEncrypt,    4200, 4980, 1935,  255, 23, kCyan,     kNoColour, kControlPoints, true, false},
    ControlRow{"ChkStealth",    K::CheckBox,    nullptr,  T::kChkStealth,    6240, 4980, 1455,  255, 24, kCyan,     kNoColour, kControlPoints, true, false},
    ControlRow{"cmdadd",        K::Button,      nullptr,  T::kCmdadd,        6240, 3480, 1455,  615, 20, kNoColour, kNoColour, kWindowPoints},
    ControlRow{"cmdout",        K::Button,      nullptr,  T::kCmdout,        6240, 4320, 1455,  615, 19, kNoColour, kNoColour, kWindowPoints},
    ControlRow{"Labtmp",        K::Label,       nullptr,  T::kLabtmp,         120, 5400, 2895,  375,  1, kYellow,   kNoColour, kControlPoints},
    ControlRow{"labfinish",     K::Label,       nullptr,  T::kLabfinish,     3120, 5400,  855,  375,  5, kYellow,   kNoColour, kWindowPoints},
    ControlRow{"TxtName",       K::TextBox,     nullptr,  T::kTxtName,       4200, 5400, 1335,  315,  6, kNoColour, kNoColour, kWindowPoints, false},
    ControlRow{"CmdAbout",      K::Button,      nullptr,  T::kCmdAbout,      4800, 5400, 1215,  375, 11, kNoColour, kNoColour, kControlPoints},
    ControlRow{"Cmdexit",       K::Button,      nullptr,  T::kCmdexit,       6120, 5400, 1695,  375,  0, kNoColour, 0x800000,  kWindowPoints},
    ControlRow{"HScroll1",      K::ScrollBar,   nullptr,  "",                 120, 5760, 1935,  255, 12, kNoColour, kNoColour, 0, false},
    ControlRow{"HScroll2",      K::ScrollBar,   nullptr,  "",                2280, 5760, 1815,  255, 13, kNoColour, kNoColour, 0, false},
    ControlRow{"HScroll3",      K::ScrollBar,   nullptr,  "",                4200, 5760, 1815,  255, 14, kNoColour, kNoColour, 0, false},
    ControlRow{"Timer1",        K::Timer,       nullptr,  "",                   0,    0,    0,    0, -1, kNoColour, kNoColour, 0},
};
// clang-format on

}  // namespace

std::span<const ControlRow> MainControls() { return kControls; }

}  // namespace velquist
