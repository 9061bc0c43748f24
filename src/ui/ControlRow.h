// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace velquist {

enum class ControlKind {
    Label,
    Button,
    CheckBox,
    TextBox,
    PasswordBox,  // a text box that shows "*" for each of at most 8 printable ASCII characters
    Frame,        // a frame with a caption and a border
    Panel,        // a frame without border or caption
    Image,
    ScrollBar,
    Timer,
};

// 0xRRGGBB, or none where the control keeps its default colour.
inline constexpr std::int32_t kNoColour = -1;

// One row of a window's controls table: how a control stands when its window is created.
// Geometry is in twips relative to the container; `container` is null for the window itself.
struct ControlRow {
    const char* name;
    ControlKind kind;
    const char* container;
    const char* caption;
    int left, top, width, height;
    int tab;                  // -1: takes no part in the tab order
    std::int32_t textColour;  // kNoColour for the default
    std::int32_t backColour;  // kNoColour for transparent labels and default controls
    double fontPoints;        // 0 for controls without a font
    bool visible = true;
    bool enabled = true;
    bool opaque = false;      // a label that paints its own background
};

// Whether the proportional layout scales a control's font.
constexpr bool HasFont(ControlKind kind) {
    return kind != ControlKind::Image && kind != ControlKind::ScrollBar &&
           kind != ControlKind::Timer;
}

}  // namespace velquist
