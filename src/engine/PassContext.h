// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

class FileService;
class EventPump;
class PassProgress;
class KeyDerivation;
namespace stealth {
struct KdfCost;
}

// What a pass works with: the files, where it reports, and what it may yield to. What it works
// on comes as a request value; nothing of the window: a pass asks no one anything.
struct PassContext {
    FileService& files;
    PassProgress& progress;
    // Yielded to once per group; null (the command line, the benchmark, the fuzz targets)
    // makes no per-group call at all.
    EventPump* pump = nullptr;
    // How a version-2 key is derived; null means the format's own Argon2id, which is what the
    // programs use. Tests and fuzz targets put a cheap one here.
    const KeyDerivation* keys = nullptr;
    // What a version-3 passphrase costs to hash; null means the format's own cost. Tests and
    // fuzz targets put the cheapest here.
    const stealth::KdfCost* stealthCost = nullptr;
    // Whether a picture rewritten whole (a PNG) may replace a file that has other names (hard
    // links), which go on holding the old picture: only when the user said so.
    bool allowOtherLinks = false;
};

const KeyDerivation& KeysOf(const PassContext& ctx);

}  // namespace velquist
