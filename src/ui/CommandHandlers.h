// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velquist {

// The hide and extract commands of the main window, attached by the workflows. A button
// whose handler is not set does nothing.
struct CommandHandlers {
    std::function<void()> cmdopen_Click;
    std::function<void()> CmdMsgSelect_Click;
    std::function<void()> ChkPassword_Click;  // any change of the box's state
    std::function<void()> ChkEncrypt_Click;   // likewise
    std::function<void()> ChkStealth_Click;   // likewise
    std::function<void()> cmdadd_Click;
    std::function<void()> cmdout_Click;
    std::function<void()> cmdchgOutPath_Click;
    // Local files dropped on the window, in the order given.
    std::function<void(const std::vector<std::string>&)> Form_DragDrop;
};

}  // namespace velquist
