// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkflowHarness.h"

#include <sys/stat.h>

namespace velquist::testing {

WorkflowHarness::WorkflowHarness() {
    outDir = dir.File("out");
    ::mkdir(outDir.c_str(), 0755);
    job.OutPath = outDir + "/";
}

std::string WorkflowHarness::WriteCarrier(const std::string& name, const CarrierBuilder& builder) {
    WriteAll(dir.File(name), builder.Build());
    return dir.File(name);
}

std::string WorkflowHarness::WriteFile(const std::string& name,
                                       const std::vector<std::uint8_t>& bytes) {
    WriteAll(dir.File(name), bytes);
    return dir.File(name);
}

void WorkflowHarness::OpenCarrier(const std::string& path) {
    platform.AnswerOpenFile(path);
    carrierSelection.cmdopen_Click();
}

void WorkflowHarness::ChooseMessage(const std::string& path) {
    platform.AnswerOpenFile(path);
    messageSelection.CmdMsgSelect_Click();
}

void WorkflowHarness::TickPassword(bool ticked) {
    view.passwordTicked = ticked;
    hide.ChkPassword_Click();
}

void WorkflowHarness::HideFile(const std::string& carrier, const std::string& message,
                               const std::string& password, bool protect) {
    OpenCarrier(carrier);
    ChooseMessage(message);
    TickPassword(protect);
    view.password = password;
    view.repeat = password;
    hide.cmdadd_Click();
}

std::vector<ScriptedPlatform::Box> WorkflowHarness::TakeBoxes() {
    auto boxes = platform.boxes();
    platform.ClearRecords();
    return boxes;
}

}  // namespace velquist::testing
