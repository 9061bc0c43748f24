// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

struct JobState;
class Platform;
class MainWindowPort;
class KeyDerivation;

// What a pass works on: the shared job state, the platform and the main window's captions.
struct PassContext {
    JobState& job;
    Platform& platform;
    MainWindowPort& window;
    // How a version-2 key is derived; null means the format's own Argon2id, which is what the
    // programs use. Tests and fuzz targets put a cheap one here.
    const KeyDerivation* keys = nullptr;
};

const KeyDerivation& KeysOf(const PassContext& ctx);

}  // namespace velquist
