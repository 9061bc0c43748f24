// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>

namespace velquist {

// Why a version-2 payload could not be sealed or opened. Each front end turns the kind into
// its own message; the text here is for logs only.
class PayloadError : public std::runtime_error {
public:
    enum class Kind {
        WrongPassword,  // the first piece did not authenticate
        Damaged,        // a later piece, the pieces' order or the payload length is wrong
        Unavailable,    // libsodium did not start, or the key derivation got no memory
    };

    explicit PayloadError(Kind kind) : std::runtime_error(Describe(kind)), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    static const char* Describe(Kind kind) {
        switch (kind) {
            case Kind::WrongPassword: return "payload: wrong password";
            case Kind::Damaged: return "payload: damaged";
            case Kind::Unavailable: return "payload: cryptography unavailable";
        }
        return "payload";
    }

    Kind kind_;
};

}  // namespace velquist
