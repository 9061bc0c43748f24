// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/SafeName.h"

#include "engine/stealth/MessagePieces.h"

namespace velquist::stealth {

namespace {

bool Unsafe(unsigned char c) { return c == '/' || c == '\\' || c < 0x20 || c == 0x7F; }

bool ContinuesCharacter(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::string SafeName(std::string_view stored) {
    std::string name;
    for (char c : stored)
        if (!Unsafe(static_cast<unsigned char>(c))) name += c;
    name.erase(0, name.find_first_not_of('.'));
    if (name.size() > pieces::kMaxName) {
        std::size_t cut = pieces::kMaxName;
        while (cut > 0 && ContinuesCharacter(static_cast<unsigned char>(name[cut]))) --cut;
        name.resize(cut);
    }
    return name.empty() ? "output.bin" : name;
}

}  // namespace velquist::stealth
