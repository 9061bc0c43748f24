// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sodium.h>

#include <functional>
#include <optional>
#include <stdexcept>

#include "engine/CarrierWipe.h"
#include "engine/codec/GroupCodec.h"
#include "engine/crypto/KeyDerivation.h"
#include "engine/crypto/PayloadError.h"
#include "engine/format/Format2.h"
#include "support/PassHarness.h"

namespace velquist {
namespace {

using namespace velquist::testing;

const CarrierBuilder kRoomy{.width = 400, .height = 300};  // room for 89,997 payload bytes
constexpr std::size_t kFirstGroup = 54 + 12;

// The payload bytes the groups of a carrier hold, read with the plain group codec.
std::vector<std::uint8_t> PayloadOf(const std::vector<std::uint8_t>& carrier, std::size_t n) {
    std::vector<std::uint8_t> payload;
    for (std::size_t done = 0; done < n; done += 3) {
        std::uint8_t triple[3];
        GroupCodec::Extract(carrier.data() + kFirstGroup + done / 3 * 12, triple, 3);
        payload.insert(payload.end(), triple, triple + std::min<std::size_t>(3, n - done));
    }
    return payload;
}

// The message pulled out of the payload with libsodium alone: the key from the stored salt
// (at the cheap cost the harness seals with), then every piece, the first with the header
// group as additional data. Nothing when any piece fails or the final one is missing.
std::optional<std::vector<std::uint8_t>> PullWithLibsodium(const std::vector<std::uint8_t>& payload,
                                                           const std::string& password,
                                                           const std::vector<std::uint8_t>& group) {
    unsigned char key[crypto_secretstream_xchacha20poly1305_KEYBYTES];
    if (crypto_pwhash(key, sizeof key, password.data(), password.size(), payload.data(),
                      crypto_pwhash_argon2id_OPSLIMIT_MIN, crypto_pwhash_argon2id_MEMLIMIT_MIN,
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        return std::nullopt;
    crypto_secretstream_xchacha20poly1305_state state;
    if (crypto_secretstream_xchacha20poly1305_init_pull(&state, payload.data() + 16, key) != 0)
        return std::nullopt;
    std::vector<std::uint8_t> message;
    std::size_t at = 40;
    unsigned char tag = 0;
    while (at < payload.size() && tag != crypto_secretstream_xchacha20poly1305_TAG_FINAL) {
        std::size_t piece = std::min<std::size_t>(65536 + 17, payload.size() - at);
        std::vector<std::uint8_t> plain(piece);
        unsigned long long length = 0;
        bool first = at == 40;
        if (crypto_secretstream_xchacha20poly1305_pull(
                &state, plain.data(), &length, &tag, payload.data() + at, piece,
                first ? group.data() : nullptr, first ? group.size() : 0) != 0)
            return std::nullopt;
        message.insert(message.end(), plain.begin(), plain.begin() + static_cast<long>(length));
        at += piece;
    }
    if (tag != crypto_secretstream_xchacha20poly1305_TAG_FINAL || at != payload.size())
        return std::nullopt;
    return message;
}

TEST(EncryptedCarrier, HiddenMessageOpensWithLibsodiumAndComesBackThroughTheExtraction) {
    for (std::size_t length : {0u, 1u, 65536u, 70000u}) {
        SCOPED_TRACE(length);
        PassHarness h;
        h.MakeCarrier(kRoomy);
        auto message = h.MakeMessage(RandomBytes(length, 3));
        h.Hide("pw", true, true);
        ASSERT_TRUE(h.lastHide.completed());
        auto carrier = h.Carrier();
        EXPECT_EQ(carrier[9], 0x28);
        std::uint32_t n = GetLE32(carrier, 6) & 0x00FFFFFF;
        EXPECT_EQ(n, format2::PayloadLength(static_cast<std::int64_t>(length)));
        // No password anywhere: the header group holds the extension, 0 and eight spaces.
        std::vector<std::uint8_t> group(carrier.begin() + 54, carrier.begin() + 66);
        EXPECT_EQ(std::string(group.begin(), group.end()), std::string("txt") + '\0' + "        ");

        auto payload = PayloadOf(carrier, n);
        EXPECT_EQ(PullWithLibsodium(payload, "pw", group), message);
        EXPECT_EQ(PullWithLibsodium(payload, "px", group), std::nullopt);

        EXPECT_EQ(h.Extract(h.dir.File("output.txt"), "pw").kind, OutcomeKind::Completed);
        EXPECT_EQ(ReadAll(h.dir.File("output.txt")), message);
        EXPECT_EQ(h.Extract(h.dir.File("wrong.txt"), "wrong").kind, OutcomeKind::WrongPassword);
        EXPECT_FALSE(Exists(h.dir.File("wrong.txt")));
    }
}

// Whatever was changed, no byte that did not authenticate reaches a file: the extraction
// ends as damaged (or, in the first piece, as a wrong password), an older output keeps its
// bytes and no temporary file is left.
TEST(EncryptedCarrier, ChangedCarrierIsRefusedAndLeavesNoOutput) {
    PassHarness pristine;
    pristine.MakeCarrier(kRoomy);
    pristine.MakeMessage(RandomBytes(70000, 4));  // two pieces
    pristine.Hide("pw", true, true);
    ASSERT_TRUE(pristine.lastHide.completed());
    const auto hidden = pristine.Carrier();
    const std::uint32_t marker = GetLE32(hidden, 6);
    // Flips bit 0 of the group byte that carries bits 0 and 1 of payload byte `at` (a
    // multiple of 3).
    auto flip = [](std::size_t at) {
        return [at](std::vector<std::uint8_t>& c) { c[kFirstGroup + at / 3 * 12] ^= 1; };
    };
    auto withMarker = [](std::uint32_t word) {
        return [word](std::vector<std::uint8_t>& c) { PutLE32(c, 6, word); };
    };
    struct Row {
        std::string name;
        std::function<void(std::vector<std::uint8_t>&)> change;
        OutcomeKind outcome;
    };
    const std::vector<Row> rows = {
        {"a bit of the salt", flip(0), OutcomeKind::WrongPassword},
        {"a bit of the first piece", flip(42), OutcomeKind::WrongPassword},
        {"a bit of the second piece", flip(40 + 65553 + 9), OutcomeKind::Damaged},
        {"the last payload byte", flip(70000 + 40 + 34 - 3), OutcomeKind::Damaged},
        {"the length one short", withMarker(marker - 1), OutcomeKind::Damaged},
        {"the length one piece longer", withMarker(marker + 17), OutcomeKind::Damaged},
        {"a reserved bit", withMarker(marker | 0x01000000), OutcomeKind::Damaged},
        {"no password flag", withMarker(marker & ~0x08000000u), OutcomeKind::Damaged},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PassHarness h;
        auto changed = hidden;
        row.change(changed);
        WriteAll(h.carrierPath, changed);
        h.job.ImagePath = h.carrierPath;
        WriteAll(h.dir.File("output.txt"), {'o', 'l', 'd'});
        EXPECT_EQ(h.Extract(h.dir.File("output.txt"), "pw").kind, row.outcome);
        EXPECT_EQ(ReadAll(h.dir.File("output.txt")), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
        EXPECT_EQ(ListFolder(h.dir.path()), (std::vector<std::string>{"carrier.bmp", "output.txt"}));
    }
}

TEST(EncryptedCarrier, TooLargeForTheSealedStreamAndWipedLikeVersion1) {
    PassHarness h;
    auto before = h.MakeCarrier();  // 7,497 bytes of room: a sealed message takes 57 more
    h.MakeMessage(RandomBytes(7497 - 57 + 1, 5));
    h.Hide("pw", true, true);
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::TooLarge);
    EXPECT_EQ(h.Carrier(), before);
    h.MakeMessage(RandomBytes(7497 - 57, 5));
    h.Hide("pw", true, true);
    ASSERT_TRUE(h.lastHide.completed());
    h.WipeCarrierFile();
    auto wiped = h.Carrier();
    EXPECT_EQ(GetLE32(wiped, 6), 0u);
    auto left = PayloadOf(wiped, 7497);
    EXPECT_TRUE(std::all_of(left.begin(), left.end(), [](std::uint8_t b) { return b == 0; }));
}

// A key derivation that cannot run, as when its 64 MiB cannot be had or libsodium does not
// start, or one that fails in a way nobody planned for.
class FailingKeys : public KeyDerivation {
public:
    explicit FailingKeys(bool planned) : planned_(planned) {}
    SecretBytes Derive(const SecretBytes&, PayloadSalt) const override {
        if (planned_) throw PayloadError(PayloadError::Kind::Unavailable);
        throw std::runtime_error("unforeseen");
    }

private:
    bool planned_;
};

TEST(EncryptedCarrier, KeyDerivationThatCannotRunEndsAsAnOutcomeAndLeavesNoClaim) {
    struct Row {
        bool planned;
        OutcomeKind outcome;
    };
    for (const Row& row : {Row{true, OutcomeKind::NoMemory}, Row{false, OutcomeKind::CarrierFailure}}) {
        SCOPED_TRACE(row.planned);
        PassHarness h;
        FailingKeys failing(row.planned);
        h.MakeCarrier(kRoomy);
        auto message = h.MakeMessage(RandomBytes(100, 6));
        h.ctx.keys = &failing;
        h.Hide("pw", true, true);
        EXPECT_EQ(h.lastHide.kind, row.outcome);
        EXPECT_EQ(h.lastHide.path, h.carrierPath);
        EXPECT_EQ(GetLE32(h.Carrier(), 6), 0u);
        EXPECT_FALSE(h.job.HiddenMark);
        EXPECT_FALSE(h.platform.Files().IsOpen(1) || h.platform.Files().IsOpen(2));

        // Hidden with a key that can be had, then taken out with one that cannot.
        h.ctx.keys = &h.cheapKeys;
        h.Hide("pw", true, true);
        ASSERT_TRUE(h.lastHide.completed());
        h.ctx.keys = &failing;
        EXPECT_EQ(h.Extract(h.dir.File("output.txt"), "pw").kind, row.outcome);
        EXPECT_EQ(ListFolder(h.dir.path()), (std::vector<std::string>{"carrier.bmp", "message.txt"}));
    }
}

}  // namespace
}  // namespace velquist
