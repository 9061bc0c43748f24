#pragma once

#include <functional>

namespace velquist {

// The hide and extract commands of the main window, attached by the workflows. A button
// whose handler is not set does nothing.
struct CommandHandlers {
    std::function<void()> cmdopen_Click;
    std::function<void()> CmdMsgSelect_Click;
    std::function<void()> ChkPassword_Click;  // any change of the box's state
    std::function<void()> cmdadd_Click;
    std::function<void()> cmdout_Click;
    std::function<void()> cmdchgOutPath_Click;
};

}  // namespace velquist
