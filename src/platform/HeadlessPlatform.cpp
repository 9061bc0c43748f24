// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HeadlessPlatform.h"

namespace velquist {

int HeadlessPlatform::MsgBox(const std::string& prompt, int style,
                           const std::optional<std::string>& title) {
    boxes_.push_back(Box{prompt, style, title});
    return style == kStyleQuestion ? kAnswerNo : kAnswerOk;
}

}  // namespace velquist
