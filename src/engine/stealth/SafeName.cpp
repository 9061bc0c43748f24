// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stealth/SafeName.h"

namespace velquist::stealth {

namespace {

constexpr std::size_t kMaxLength = 255;

bool Unsafe(unsigned char c) { return c == '/' || c == '\\' || c < 0x20 || c == 0x7F; }

bool ContinuesCharacter(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::string SafeName(std::string_view stored) {
    std::string name;
    for (char c : stored)
        if (!Unsafe(static_cast<unsigned char>(c))) name += c;
    name.erase(0, name.find_first_not_of('.'));
    if (name.size() > kMaxLength) {
        std::size_t cut = kMaxLength;
        while (cut > 0 && ContinuesCharacter(static_cast<unsigned char>(name[cut]))) --cut;
        name.resize(cut);
    }
    return name.empty() ? "output.bin" : name;
}

}  // namespace velquist::stealth
