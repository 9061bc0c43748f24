// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>

#include <sodium.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <thread>

#include "engine/crypto/Argon2idKeyDerivation.h"
#include "engine/crypto/PayloadError.h"
#include "engine/crypto/PayloadOpener.h"
#include "engine/crypto/PayloadSealer.h"
#include "engine/format/Format2.h"
#include "support/PassHarness.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using Bytes = std::vector<std::uint8_t>;
using Kind = PayloadError::Kind;
using Header = std::array<std::uint8_t, 12>;

constexpr Header kHeader = {'t', 'x', 't', 0, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
constexpr std::string_view kPassword = "s3cret!";
// The key as libsodium derives it here, apart from the engine's types.
using PayloadKey = std::array<std::uint8_t, 32>;
constexpr std::size_t kSealed = 65553;  // one full piece, sealed
constexpr unsigned char kMessageTag = crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
constexpr unsigned char kFinalTag = crypto_secretstream_xchacha20poly1305_TAG_FINAL;

const Argon2idKeyDerivation kCheap = Argon2idKeyDerivation::CheapForTests();

// The key straight from libsodium, with the cost spelled out rather than taken from the engine.
PayloadKey LibsodiumKey(const Bytes& payload, unsigned long long ops = 1, std::size_t mem = 8192) {
    PayloadKey key;
    EXPECT_EQ(crypto_pwhash(key.data(), key.size(), kPassword.data(), kPassword.size(),
                            payload.data(), ops, mem, crypto_pwhash_ALG_ARGON2ID13), 0);
    return key;
}

// Hands `bytes` out in spans of at most `span` bytes.
template <typename Buffer, typename Take>
void InSpans(Buffer& bytes, std::size_t span, Take take) {
    for (std::size_t at = 0; at < bytes.size(); at += span)
        take(std::span(bytes).subspan(at, std::min(span, bytes.size() - at)));
}

Bytes Seal(const Bytes& message, std::size_t span = 33000, const KeyDerivation& keys = kCheap) {
    std::size_t read = 0;
    PayloadSealer sealer(keys, SecretBytes::Of(kPassword), kHeader, std::ssize(message), [&](auto out) {
        std::copy_n(message.begin() + static_cast<std::ptrdiff_t>(read), out.size(), out.begin());
        read += out.size();
    });
    Bytes payload(static_cast<std::size_t>(sealer.PayloadLength()));
    InSpans(payload, span, [&](auto out) { sealer.Fill(out); });
    EXPECT_EQ(read, message.size());
    return payload;
}

// Reads a payload with libsodium alone: the format's layout, nothing of the engine.
std::optional<Bytes> PullWithLibsodium(const Bytes& payload, const PayloadKey& key) {
    crypto_secretstream_xchacha20poly1305_state state;
    crypto_secretstream_xchacha20poly1305_init_pull(&state, payload.data() + 16, key.data());
    Bytes message;
    for (std::size_t at = 40; at < payload.size(); at += kSealed) {
        std::size_t length = std::min(kSealed, payload.size() - at);
        Bytes plain(length - 17);
        unsigned char tag = 0;
        bool first = at == 40;
        if (crypto_secretstream_xchacha20poly1305_pull(&state, plain.data(), nullptr, &tag,
                payload.data() + at, length, first ? kHeader.data() : nullptr, first ? 12 : 0) != 0 ||
            tag != (at + length == payload.size() ? kFinalTag : kMessageTag))
            return std::nullopt;
        message.insert(message.end(), plain.begin(), plain.end());
    }
    return message;
}

struct Opened {
    std::optional<Kind> error;
    Bytes delivered;
    std::size_t largestHandOut = 0;
};

// Opens `payload` as a carrier whose marker word claims `claimed` bytes (its size if -1).
Opened Open(const Bytes& payload, std::size_t span = 33000, std::string_view password = kPassword,
            const Header& header = kHeader, std::int64_t claimed = -1, const KeyDerivation& keys = kCheap) {
    Opened result;
    try {
        PayloadOpener opener(keys, SecretBytes::Of(password), header, claimed < 0 ? std::ssize(payload) : claimed,
                             [&](auto plain) {
                                 result.delivered.insert(result.delivered.end(), plain.begin(), plain.end());
                                 result.largestHandOut = std::max(result.largestHandOut, plain.size());
                             });
        InSpans(payload, span, [&](auto in) { opener.Feed(in); });
        opener.Finish();
    } catch (const PayloadError& e) {
        result.error = e.kind();
    }
    return result;
}

// Pieces of the given lengths and tags sealed with libsodium directly, for layouts the engine
// never writes.
struct Piece {
    std::size_t length;
    unsigned char tag;
    bool headerAsAdditionalData;
};

Bytes ForgeWithLibsodium(const std::vector<Piece>& pieces) {
    Bytes payload(40);
    randombytes_buf(payload.data(), 16);
    PayloadKey key = LibsodiumKey(payload);
    crypto_secretstream_xchacha20poly1305_state state;
    crypto_secretstream_xchacha20poly1305_init_push(&state, payload.data() + 16, key.data());
    for (const Piece& p : pieces) {
        Bytes plain = RandomBytes(p.length, static_cast<std::uint32_t>(p.length));
        std::size_t at = payload.size();
        payload.resize(at + p.length + 17);
        crypto_secretstream_xchacha20poly1305_push(&state, payload.data() + at, nullptr, plain.data(),
            plain.size(), p.headerAsAdditionalData ? kHeader.data() : nullptr,
            p.headerAsAdditionalData ? 12 : 0, p.tag);
    }
    return payload;
}

TEST(PayloadLength, GrowsBySaltHeaderAndSeventeenBytesAPieceAndInvertsExactly) {
    using namespace format2;
    const std::pair<std::int64_t, std::int64_t> rows[] = {
        {0, 57}, {1, 58}, {65535, 65592}, {65536, 65593}, {65537, 65611},
        {131072, 131146}, {16772823, 16777215}};
    for (auto [m, n] : rows) {
        EXPECT_EQ(PayloadLength(m), n) << m;
        EXPECT_EQ(MessageLength(n), m) << n;
    }
    // Every N up to four pieces is either the length of exactly one message or damaged.
    std::int64_t valid = 0;
    for (std::int64_t n = 0; n <= PayloadLength(4 * 65536); ++n) {
        std::optional<std::int64_t> m = MessageLength(n);
        if (!m) continue;
        ++valid;
        ASSERT_EQ(PayloadLength(*m), n);
    }
    EXPECT_EQ(valid, 4 * 65536 + 1);
    EXPECT_FALSE(MessageLength(16777216));
    EXPECT_TRUE(MessageFits(16772823, 16777215));
    EXPECT_FALSE(MessageFits(16772824, 1 << 30));
    EXPECT_TRUE(MessageFits(100, 157));
    EXPECT_FALSE(MessageFits(100, 156));
    EXPECT_FALSE(MessageFits(0, -1));
}

// Piece boundaries and an empty message, each pulled back by libsodium and by the opener.
TEST(PayloadStream, SealedMessageComesBackThroughLibsodiumAndTheOpenerAtAnySpanSize) {
    for (std::size_t length : {0, 1, 65535, 65536, 65537, 300000}) {
        Bytes message = RandomBytes(length, static_cast<std::uint32_t>(length) + 3);
        for (std::size_t fillSpan : {std::size_t{3}, std::size_t{33000}, std::size_t{1} << 24}) {
            Bytes payload = Seal(message, fillSpan);
            ASSERT_EQ(std::ssize(payload), format2::PayloadLength(std::ssize(message)));
            EXPECT_EQ(PullWithLibsodium(payload, LibsodiumKey(payload)), message)
                << length << " filled by " << fillSpan;
        }
        Bytes payload = Seal(message);
        for (std::size_t feedSpan : {std::size_t{1}, std::size_t{3}, std::size_t{33000}, payload.size()}) {
            Opened opened = Open(payload, feedSpan);
            EXPECT_FALSE(opened.error) << length << " fed by " << feedSpan;
            EXPECT_EQ(opened.delivered, message) << length << " fed by " << feedSpan;
            EXPECT_LE(opened.largestHandOut, 65536u);
        }
    }
}

TEST(PayloadStream, FormatKeyIsArgon2idOverSixtyFourMiBThreePasses) {
    Bytes message = RandomBytes(70000, 5);
    Argon2idKeyDerivation formatKeys;
    Bytes payload = Seal(message, 33000, formatKeys);
    EXPECT_EQ(PullWithLibsodium(payload, LibsodiumKey(payload, 3, 67108864)), message);
    EXPECT_FALSE(PullWithLibsodium(payload, LibsodiumKey(payload)));
    EXPECT_EQ(Open(payload, 33000, kPassword, kHeader, -1, formatKeys).delivered, message);
}

// A password or header group other than the sealer's fails on the first piece, before
// anything reaches the sink, whatever the message's length.
TEST(PayloadStream, WrongPasswordOrHeaderGroupFailsOnTheFirstPiece) {
    Header otherExtension = kHeader;
    otherExtension[0] = 'T';
    for (std::size_t length : {0, 100, 200000}) {
        Bytes payload = Seal(RandomBytes(length, 9));
        for (auto [password, header] : {std::pair{std::string_view("s3cret?"), kHeader},
                                        std::pair{std::string_view(""), kHeader},
                                        std::pair{kPassword, otherExtension}}) {
            Opened opened = Open(payload, 33000, password, header);
            EXPECT_EQ(opened.error, Kind::WrongPassword) << length << " " << password;
            EXPECT_TRUE(opened.delivered.empty());
        }
    }
}

// Three pieces; a flipped bit in the salt, stream header or first piece reads as a wrong
// password, one further on as damage, and only the pieces before it reach the sink.
TEST(PayloadStream, EveryFlippedBitIsRefusedAndOnlyAuthenticatedPiecesArrive) {
    Bytes message = RandomBytes(150000, 13);
    const Bytes payload = Seal(message);
    std::vector<std::size_t> positions = {0, 15, 16, 39, 40 + kSealed - 1, 40 + kSealed,
                                          40 + 2 * kSealed - 16, 40 + 2 * kSealed, payload.size() - 1};
    for (std::size_t at = 40; at < payload.size(); at += 4999) positions.push_back(at);
    for (std::size_t at : positions) {
        Bytes flipped = payload;
        flipped[at] ^= static_cast<std::uint8_t>(1u << (at % 8));
        std::size_t piece = at < 40 ? 0 : (at - 40) / kSealed;
        for (std::size_t feedSpan : {std::size_t{3}, std::size_t{33000}}) {
            Opened opened = Open(flipped, feedSpan);
            EXPECT_EQ(opened.error, piece == 0 ? Kind::WrongPassword : Kind::Damaged) << at;
            auto authenticated = message.begin() + static_cast<std::ptrdiff_t>(piece * 65536);
            EXPECT_EQ(opened.delivered, Bytes(message.begin(), authenticated)) << at;
        }
    }
}

struct Hostile {
    const char* what;
    std::vector<Piece> pieces;
    std::int64_t claimedChange;  // added to N in the marker word
    std::optional<Kind> expected;
    std::size_t delivered;
};

TEST(PayloadStream, WrongLengthsAndPieceOrdersAreRefused) {
    const Hostile rows[] = {
        {"as sealed", {{65536, kMessageTag, true}, {10, kFinalTag, false}}, 0, std::nullopt, 65546},
        {"piece after the final one", {{65536, kFinalTag, true}, {10, kFinalTag, false}}, 0, Kind::Damaged, 0},
        {"no final piece", {{65536, kMessageTag, true}, {10, kMessageTag, false}}, 0, Kind::Damaged, 65536},
        {"lone piece not final", {{10, kMessageTag, true}}, 0, Kind::Damaged, 0},
        {"empty piece after a full final one", {{65536, kFinalTag, true}, {0, kFinalTag, false}}, 0, Kind::Damaged, 0},
        {"first piece without the header group", {{10, kFinalTag, false}}, 0, Kind::WrongPassword, 0},
        {"later piece with the header group", {{65536, kMessageTag, true}, {10, kFinalTag, true}}, 0, Kind::Damaged, 65536},
        {"N one short", {{65536, kMessageTag, true}, {10, kFinalTag, false}}, -1, Kind::Damaged, 65536},
        {"N cut to the first piece", {{65536, kMessageTag, true}, {10, kFinalTag, false}}, -27, Kind::Damaged, 0},
        {"N cut inside the first piece", {{65536, kMessageTag, true}, {10, kFinalTag, false}}, -27 - 1000, Kind::WrongPassword, 0},
        {"N cut below one empty piece", {{0, kFinalTag, true}}, -1, Kind::Damaged, 0},
        {"N cut into the piece tag", {{0, kFinalTag, true}}, -10, Kind::Damaged, 0},
        {"byte after a full final piece", {{65536, kFinalTag, true}}, 1, Kind::Damaged, 0},
        // Pieces lie at fixed 64 KiB steps, so a longer N moves a short last piece's end.
        {"byte after a short final piece", {{10, kFinalTag, true}}, 1, Kind::WrongPassword, 0},
    };
    for (const Hostile& row : rows) {
        Bytes payload = ForgeWithLibsodium(row.pieces);
        std::int64_t claimed = std::ssize(payload) + row.claimedChange;
        payload.resize(static_cast<std::size_t>(claimed));
        Bytes endingEarly(payload.begin(), payload.end() - 1);
        EXPECT_EQ(Open(endingEarly, 33000, kPassword, kHeader, claimed).error, Kind::Damaged) << row.what;
        for (std::size_t feedSpan : {std::size_t{1}, std::size_t{33000}}) {
            Opened opened = Open(payload, feedSpan, kPassword, kHeader, claimed);
            EXPECT_EQ(opened.error, row.expected) << row.what;
            EXPECT_EQ(opened.delivered.size(), row.delivered) << row.what;
        }
    }
}

// The window derives the key on a worker thread once the salt is in; the sink still runs only
// in Feed, on the caller's thread.
TEST(PayloadStream, KeyDerivedOnAnotherThreadOpensTheSameMessage) {
    Bytes message = RandomBytes(100000, 21);
    Bytes payload = Seal(message);
    for (std::size_t firstSpan : {std::size_t{40}, std::size_t{42}, std::size_t{33000}}) {
        Bytes delivered;
        PayloadOpener opener(kCheap, SecretBytes::Of(kPassword), kHeader, std::ssize(payload),
                             [&](auto plain) { delivered.insert(delivered.end(), plain.begin(), plain.end()); });
        opener.Feed(std::span(payload).first(39));
        EXPECT_FALSE(opener.NeedsKey());
        opener.Feed(std::span(payload).subspan(39, firstSpan - 39));
        ASSERT_TRUE(opener.NeedsKey()) << firstSpan;
        std::thread([&] { opener.DeriveKey(); }).join();
        EXPECT_TRUE(delivered.empty());
        opener.Feed(std::span(payload).subspan(firstSpan));
        opener.Finish();
        EXPECT_EQ(delivered, message) << firstSpan;
    }
}

}  // namespace
}  // namespace velquist
