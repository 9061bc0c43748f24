// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/HideOptions.h"
#include "engine/JobState.h"
#include "engine/PassContext.h"
#include "engine/crypto/Argon2idKeyDerivation.h"
#include "engine/stealth/StealthKeys.h"
#include "engine/format/Outcome.h"
#include "support/CarrierBuilder.h"
#include "support/RecordingProgress.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace velquist::testing {

// A carrier, a message and an output folder in a fresh temporary folder, with the job state
// set up as the window's commands leave it before a pass, and kept as they keep it after one.
struct PassHarness {
    TempDir dir;
    ScriptedPlatform platform;
    RecordingProgress progress;
    JobState job;
    // Version-2 keys at libsodium's lowest cost, so that tests run many extractions.
    Argon2idKeyDerivation cheapKeys = Argon2idKeyDerivation::CheapForTests();
    // Version-3 passphrases at libsodium's lowest cost likewise.
    stealth::KdfCost cheapStealth = stealth::KdfCost::Cheapest();
    // Yields to the scripted platform once per group, as the window's passes do.
    PassContext ctx{platform.Files(), progress, &platform, &cheapKeys, &cheapStealth};

    PassHarness();
    // Writes the carrier and points ImagePath at it.
    std::vector<std::uint8_t> MakeCarrier(const CarrierBuilder& builder = {});
    // Writes the message and points MsgPath at it; MsgExt becomes `ext`.
    std::vector<std::uint8_t> MakeMessage(const std::vector<std::uint8_t>& bytes,
                                          const std::string& ext = "txt");
    // `encrypted`: carrier format version 2 (needs `protectedHide`).
    void Hide(const std::string& password = "", bool protectedHide = false, bool encrypted = false);
    // Format version 3 under `passphrase`.
    void HideStealth(const std::string& passphrase);
    // The hide as the window's command runs it on the job state's picture and message, and what
    // the job state then says of the picture.
    Outcome RunHide(const HideOptions& options);
    // Opens the carrier as the extract command does, gives the password where one is asked
    // (a wrong one for version 1 ends here), runs the pass and commits the output.
    Outcome Extract(const std::string& outFile, const std::string& password = "");
    std::vector<std::uint8_t> Carrier() const;
    // Wipes the carrier as the extraction's wipe does, through an open, locked carrier; throws
    // what the wipe throws.
    void WipeCarrierFile();

    std::string carrierPath;
    Outcome lastHide;
};

std::vector<std::uint8_t> RandomBytes(std::size_t n, std::uint32_t seed);

// The wipe command on the picture at `path`, without a passphrase, as velquist-cli runs it.
Outcome WipeCommand(FileService& files, const std::string& path);

}  // namespace velquist::testing
