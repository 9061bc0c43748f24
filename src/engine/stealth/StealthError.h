// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>

namespace velquist::stealth {

// Why a version-3 operation could not go on. A wrong passphrase is not an error: reading then
// finds no message, exactly as in a clean picture.
class StealthError : public std::runtime_error {
public:
    enum class Kind {
        CryptoUnavailable,  // libsodium did not start
        OutOfMemory,        // the key derivation or the embedder could not get its memory
        Damaged,            // the header check passed but the payload does not authenticate
    };

    explicit StealthError(Kind kind) : std::runtime_error(Describe(kind)), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    static const char* Describe(Kind kind) {
        switch (kind) {
            case Kind::CryptoUnavailable: return "stealth: cryptography unavailable";
            case Kind::OutOfMemory: return "stealth: out of memory";
            case Kind::Damaged: return "stealth: damaged";
        }
        return "stealth";
    }

    Kind kind_;
};

}  // namespace velquist::stealth
