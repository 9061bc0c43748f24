// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "engine/MainWindowPort.h"
#include "platform/HeadlessPlatform.h"
#include "platform/YieldSlicer.h"

namespace velquist::bench {

// The headless platform with the window's captions counted and a yield that costs what the
// window's time-sliced yield costs when no event is pending.
class BenchPlatform : public HeadlessPlatform, public MainWindowPort {
public:
    void Yield() override;

    void SetStatusCaption(const std::string&) override {}
    void SetPercentCaption(const std::string&) override { ++percentCaptions; }
    bool PasswordTicked() const override { return passwordTicked; }
    bool EncryptTicked() const override { return encryptTicked; }

    int ErrorBoxes() const;

    long yields = 0;
    long slices = 0;
    long percentCaptions = 0;
    // Both ticked hide as version 2; password alone as a protected version 1.
    bool passwordTicked = false;
    bool encryptTicked = false;

private:
    YieldSlicer slicer_;
};

}  // namespace velquist::bench
