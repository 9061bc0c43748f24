#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/JobState.h"
#include "engine/Outcome.h"
#include "engine/PassContext.h"
#include "support/CarrierBuilder.h"
#include "support/RecordingWindow.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace velquist::testing {

// A carrier, a message and an output folder in a fresh temporary folder, with the job state
// set up as the window's commands leave it before a pass.
struct PassHarness {
    TempDir dir;
    ScriptedPlatform platform;
    RecordingWindow window;
    JobState job;
    PassContext ctx{job, platform, window};

    PassHarness();
    // Writes the carrier and points ImagePath at it.
    std::vector<std::uint8_t> MakeCarrier(const CarrierBuilder& builder = {});
    // Writes the message and points MsgPath at it; MsgExt becomes `ext`.
    std::vector<std::uint8_t> MakeMessage(const std::vector<std::uint8_t>& bytes,
                                          const std::string& ext = "txt");
    void Hide(const std::string& password = "", bool protectedHide = false);
    // Opens the carrier as the extract command does, runs the pass and commits the output
    // when it completed.
    Outcome Extract(const std::string& outFile);
    std::vector<std::uint8_t> Carrier() const;

    std::string carrierPath;
    Outcome lastHide;
};

std::vector<std::uint8_t> RandomBytes(std::size_t n, std::uint32_t seed);

}  // namespace velquist::testing
