// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "engine/JobState.h"
#include "support/CarrierBuilder.h"
#include "support/FakeMainView.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"
#include "workflows/CarrierSelection.h"
#include "workflows/ExtractCommand.h"
#include "workflows/HideCommand.h"
#include "workflows/MessageSelection.h"

namespace velquist::testing {

// The command handlers over a fake window and a scripted platform, with the job state as
// start-up leaves it and an output folder of its own.
struct WorkflowHarness {
    TempDir dir;
    ScriptedPlatform platform;
    FakeMainView view;
    JobState job;
    CarrierSelection carrierSelection{job, platform, view};
    MessageSelection messageSelection{job, platform, view};
    HideCommand hide{job, platform, view};
    ExtractCommand extract{job, platform, view};
    std::string outDir;

    WorkflowHarness();
    std::string WriteCarrier(const std::string& name, const CarrierBuilder& builder = {});
    std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
    void OpenCarrier(const std::string& path);
    void ChooseMessage(const std::string& path);
    void TickPassword(bool ticked);
    // Picks carrier and message and hides; `password` empty and `protect` false: unprotected.
    void HideFile(const std::string& carrier, const std::string& message,
                  const std::string& password = "", bool protect = false);
    std::vector<ScriptedPlatform::Box> TakeBoxes();
};

}  // namespace velquist::testing
