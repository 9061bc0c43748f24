// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace velquist {

// The main window's own events, handled by the shell: the option box, the two ways out,
// the About button and resizing.
struct WindowHandlers {
    std::function<void()> ChkclearBmp_Click;  // any change of the box's state
    std::function<void()> CmdAbout_Click;
    std::function<void()> Cmdexit_Click;
    std::function<void()> Form_Unload;  // the close box
    std::function<void()> Form_Resize;
    // Once, when the window first shows on the screen: its frame is known from then on.
    std::function<void()> Form_Framed;
};

}  // namespace velquist
