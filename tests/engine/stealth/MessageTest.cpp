// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sodium.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/stealth/MessageOpener.h"
#include "engine/stealth/MessageSealer.h"
#include "engine/stealth/SafeName.h"
#include "engine/stealth/StealthError.h"

namespace velquist::stealth {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr unsigned char kMessage = crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
constexpr unsigned char kFinal = crypto_secretstream_xchacha20poly1305_TAG_FINAL;

const StealthKeys& Keys() {
    static const StealthKeys keys =
        StealthKeys::Derive("pw", StealthKeys::SaltBytes{1, 2, 3, 4, 5, 6, 7, 8}, KdfCost::Cheapest());
    return keys;
}

// A payload sealed with libsodium directly, piece by piece as given, the first with the salt.
Bytes SealPieces(const std::vector<std::pair<Bytes, unsigned char>>& pieces) {
    Bytes payload(24);
    crypto_secretstream_xchacha20poly1305_state state;
    crypto_secretstream_xchacha20poly1305_init_push(&state, payload.data(), Keys().Message().data());
    bool first = true;
    for (const auto& [plain, tag] : pieces) {
        Bytes sealed(plain.size() + 17);
        crypto_secretstream_xchacha20poly1305_push(&state, sealed.data(), nullptr, plain.data(), plain.size(),
                                                   first ? Keys().PictureSalt().data() : nullptr,
                                                   first ? 16 : 0, tag);
        payload.insert(payload.end(), sealed.begin(), sealed.end());
        first = false;
    }
    return payload;
}

Bytes Plain(const std::string& name, std::size_t fileBytes) {
    Bytes plain(2 + name.size() + fileBytes, 0x33);
    plain[0] = static_cast<std::uint8_t>(name.size());
    plain[1] = static_cast<std::uint8_t>(name.size() >> 8);
    std::copy(name.begin(), name.end(), plain.begin() + 2);
    return plain;
}

struct Opened {
    std::string name;
    Bytes file;
    bool damaged = false;
};

Opened Open(const Bytes& payload) {
    Opened out;
    MessageOpener opener(Keys(), [&](const std::string& n) { out.name = n; },
                         [&](std::span<const std::uint8_t> bytes) {
                             out.file.insert(out.file.end(), bytes.begin(), bytes.end());
                         });
    try {
        opener.Open(payload);
    } catch (const StealthError& e) {
        out.damaged = e.kind() == StealthError::Kind::Damaged;
    }
    return out;
}

TEST(StealthMessage, SealedFileOpensPieceByPieceUnderItsSafeName) {
    const std::string name = "../r\xC3\xA9sum\xC3\xA9.txt";
    // With the name's 17 bytes in front, 65,519 file bytes fill one piece exactly.
    for (std::size_t length : {0u, 1u, 65519u, 65520u, 200000u}) {
        SCOPED_TRACE(length);
        Bytes file(length);
        for (std::size_t i = 0; i < length; ++i) file[i] = static_cast<std::uint8_t>(i * 7);
        std::size_t read = 0;
        MessageSealer sealer(Keys(), name, length, [&](std::span<std::uint8_t> out) {
            std::copy_n(file.begin() + static_cast<long>(read), out.size(), out.begin());
            read += out.size();
        });
        const Bytes payload = sealer.Seal();
        const std::size_t plain = 2 + name.size() + length;
        EXPECT_EQ(payload.size(), 24 + plain + 17 * std::max<std::size_t>(1, (plain + 65535) / 65536));
        const Opened opened = Open(payload);
        EXPECT_FALSE(opened.damaged);
        EXPECT_EQ(opened.name, "r\xC3\xA9sum\xC3\xA9.txt");
        EXPECT_EQ(opened.file, file);
    }
    EXPECT_THROW(MessageSealer(Keys(), std::string(256, 'a'), 0, {}), std::invalid_argument);
    EXPECT_THROW(MessageSealer(Keys(), "a", 0xFFFFFFFFull, {}), std::length_error);
}

TEST(StealthMessage, AnythingButAnAuthenticFinalPieceIsDamaged) {
    const Bytes full = Plain("f", 65536 - 3);  // exactly one piece
    const Bytes good = SealPieces({{full, kMessage}, {Bytes(10, 1), kFinal}});
    auto flipped = [](Bytes b, std::size_t at) { b[at] ^= 1; return b; };
    struct Row {
        const char* name;
        Bytes payload;
        std::size_t fileBytesBeforeFailure;
    };
    const Row rows[] = {
        {"the stream header", flipped(good, 3), 0},
        {"the first piece", flipped(good, 24 + 100), 0},
        {"the second piece", flipped(good, good.size() - 1), 65536 - 3},
        {"the payload ending early", Bytes(good.begin(), good.end() - 1), 65536 - 3},
        {"no final piece", SealPieces({{full, kMessage}}), 65536 - 3},
        {"a piece after the final", SealPieces({{full, kFinal}, {Bytes(4, 1), kMessage}}), 65536 - 3},
        {"bytes after the final", [&] { Bytes b = SealPieces({{full, kFinal}}); b.push_back(0); return b; }(), 65536 - 3},
        {"a name longer than its piece", SealPieces({{Bytes{9, 0, 'a'}, kFinal}}), 0},
        {"a name over 255 bytes", SealPieces({{Plain(std::string(256, 'n'), 0), kFinal}}), 0},
        {"a piece too short for the name length", SealPieces({{Bytes{0}, kFinal}}), 0},
        {"the salt missing from the first piece", [&] {
             Bytes b(24);
             crypto_secretstream_xchacha20poly1305_state s;
             crypto_secretstream_xchacha20poly1305_init_push(&s, b.data(), Keys().Message().data());
             Bytes p = Plain("f", 3), sealed(p.size() + 17);
             crypto_secretstream_xchacha20poly1305_push(&s, sealed.data(), nullptr, p.data(), p.size(), nullptr, 0, kFinal);
             b.insert(b.end(), sealed.begin(), sealed.end());
             return b;
         }(), 0},
    };
    EXPECT_FALSE(Open(good).damaged);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Opened opened = Open(row.payload);
        EXPECT_TRUE(opened.damaged);
        EXPECT_EQ(opened.file.size(), row.fileBytesBeforeFailure);
    }
}

TEST(StealthMessage, StoredNamesAreMadeSafe) {
    const std::pair<std::string, std::string> rows[] = {
        {"report.pdf", "report.pdf"},
        {"", "output.bin"},
        {"..", "output.bin"},
        {"/\\\x01\x7F", "output.bin"},
        {"../../etc/passwd", "etcpasswd"},
        {".bashrc", "bashrc"},
        {std::string("a\0b\nc\td.txt", 11), "abcd.txt"},
        {"C:\\Users\\x.txt", "C:Usersx.txt"},
        {"dots..inside.", "dots..inside."},
        {std::string(300, 'x'), std::string(255, 'x')},
        // A two-byte character across byte 255 goes whole.
        {std::string(254, 'x') + "\xC3\xA9", std::string(254, 'x')},
    };
    for (const auto& [stored, safe] : rows) {
        SCOPED_TRACE(stored);
        EXPECT_EQ(SafeName(stored), safe);
    }
}

}  // namespace
}  // namespace velquist::stealth
