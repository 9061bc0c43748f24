// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AboutControls.h"

#include <array>

#include "ui/UiTexts.h"

namespace velquist {

namespace {

using K = ControlKind;
namespace T = UiTexts;

constexpr std::int32_t kBlack = 0x000000;
constexpr std::int32_t kOlive = 0xC0C000;
constexpr std::int32_t kCyan = 0x00FFFF;
constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kOrange = 0xFF8000;

// The credits frame sits 480 twips higher in its viewport than a plain column would, so that
// the link label shows in the viewport's bottom strip and can be clicked.
// clang-format off
constexpr std::array kControls{
    ControlRow{"Frame2",  K::Panel,  nullptr,  "",                    240,  840, 3975, 3375, -1, kNoColour,  kBlack,    0},
    ControlRow{"Frame1",  K::Panel,  "Frame2", "",                    240, 2640, 3495, 6615, -1, kNoColour,  kBlack,    0},
    ControlRow{"Label1",  K::Label,  "Frame1", T::kWebAddressShown,   240,  360, 3135,  495, -1, kLinkColour, kNoColour, 12},
    ControlRow{"Label2",  K::Label,  "Frame1", T::kAboutTitleLine,    600, 2280, 2535,  375, -1, kOlive,     kNoColour, 14.25},
    ControlRow{"Label3",  K::Label,  "Frame1", T::kAboutPurposeLine,  360, 1440, 3135,  255, -1, kCyan,      kNoColour, kAboutPoints},
    ControlRow{"Label4",  K::Label,  "Frame1", T::kAboutMadeByLine,   240, 1800, 3015,  375, -1, kCyan,      kNoColour, 12},
    ControlRow{"Label6",  K::Label,  "Frame1", T::kAboutThanksHeading, 1320, 3360, 855,  375, -1, kWhite,     kNoColour, 10.5},
    ControlRow{"Label7",  K::Label,  "Frame1", T::kAboutThanksLine1,  360, 3720, 2895,  255, -1, kWhite,     kNoColour, kAboutPoints},
    ControlRow{"Label8",  K::Label,  "Frame1", T::kAboutThanksLine2,  480, 4080, 2535,  375, -1, kWhite,     kNoColour, kAboutPoints},
    ControlRow{"Label9",  K::Label,  "Frame1", T::kAboutFreeLine,     480, 5520, 2775,  255, -1, kOrange,    kNoColour, kAboutPoints},
    ControlRow{"Label10", K::Label,  "Frame1", T::kAboutWelcomeLine,  960, 5880, 1455,  375, -1, kOrange,    kNoColour, kAboutPoints},
    ControlRow{"Label11", K::Label,  "Frame1", T::kAboutThanksLine3,  600, 4680, 2415,  375, -1, kWhite,     kNoColour, kAboutPoints},
    ControlRow{"Label5",  K::Label,  "Frame2", T::kAboutNotice,      1080,  120, 1935, 2415, -1, kNoColour,  kNoColour, kAboutPoints, true, true, true},
    ControlRow{"CmdOk",   K::Button, nullptr,  T::kAboutCmdOk,       1560,  120, 1335,  495, -1, kNoColour,  0x00C0C0,  kAboutPoints},
};
// clang-format on

}  // namespace

std::span<const ControlRow> AboutControls() { return kControls; }

}  // namespace velquist
