// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/PassProgress.h"

namespace velquist {

class MainView;

// A pass's reports as the main window shows them: the status in Labtmp ("完成度",
// "正在核实密码……", "嵌入完成！") and the percentage in labfinish ("45%").
class WindowProgress : public PassProgress {
public:
    explicit WindowProgress(MainView& view) : view_(view) {}

    void Status(PassStatus status) override;
    void Percent(int percent) override;

    static const char* CaptionOf(PassStatus status);

private:
    MainView& view_;
};

}  // namespace velquist
