// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sodium.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "TestCover.h"
#include "TestPictures.h"
#include "engine/stealth/KeyedOrder.h"
#include "engine/stealth/MessageOpener.h"
#include "engine/stealth/MessageSealer.h"
#include "engine/stealth/ParityHeader.h"
#include "engine/stealth/Stealth.h"
#include "engine/stealth/StealthError.h"
#include "engine/stealth/pixels/PixelCover.h"

namespace velquist::stealth {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint64_t LE(const std::uint8_t* at, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | at[i];
    return v;
}

// The carrier read the slow, plain way, with libsodium and nothing of the library: the key
// schedule, the Fisher-Yates order, the masked parity header, the segments and the banded
// syndrome, written out from their definitions.
class PlainReader {
public:
    PlainReader(const Bytes& samples, const std::string& passphrase, std::uint32_t width,
                std::uint32_t height)
        : samples_(samples) {
        Bytes label{'v', 'e', 'l', 'q', 'u', 'i', 's', 't', ' ', 'f', 'o', 'r', 'm', 'a', 't', ' ', '3'};
        for (std::uint32_t v : {width, height})
            for (int i = 0; i < 4; ++i) label.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        crypto_generichash(salt_, 16, label.data(), label.size(), nullptr, 0);
        EXPECT_EQ(crypto_pwhash(k_, 96, passphrase.data(), passphrase.size(), salt_,
                                crypto_pwhash_argon2id_OPSLIMIT_MIN,
                                crypto_pwhash_argon2id_MEMLIMIT_MIN, crypto_pwhash_ALG_ARGON2ID13), 0);
        const std::size_t n = samples.size();
        order_.resize(n);
        std::iota(order_.begin(), order_.end(), 0u);
        Bytes stream(8 * (n - 1));
        randombytes_buf_deterministic(stream.data(), stream.size(), k_);
        for (std::size_t i = n - 1, step = 0; i >= 1; --i, ++step)
            std::swap(order_[i], order_[LE(&stream[8 * step], 8) % (i + 1)]);
    }

    std::optional<std::uint32_t> HeaderLength() const {
        std::uint8_t header[8] = {}, mask[8];
        for (int t = 0; t < 64; ++t)
            for (int k = 0; k < 32; ++k) header[t / 8] ^= (Lsb(32 * t + k)) << (t % 8);
        crypto_generichash(mask, 8, nullptr, 0, k_ + 32, 32);
        for (int i = 0; i < 8; ++i) header[i] ^= mask[i];
        if (LE(header + 4, 4) != 0) return std::nullopt;
        return static_cast<std::uint32_t>(LE(header, 4));
    }

    struct Coded {
        std::size_t first, count;  // sample positions in the keyed order
    };

    // The payload, with the positions each segment codes.
    std::optional<Bytes> Payload(std::vector<Coded>* coded = nullptr) const {
        std::optional<std::uint32_t> length = HeaderLength();
        if (!length || *length == 0) return std::nullopt;
        const std::uint64_t nb = samples_.size() - 2048, bits = 8ull * *length;
        const std::uint64_t segments = (nb + (1u << 20) - 1) >> 20;
        Bytes payload(*length);
        for (std::uint64_t s = 0; s < segments; ++s) {
            const std::uint64_t p0 = s * nb / segments, ns = (s + 1) * nb / segments - p0;
            const std::uint64_t b0 = s * bits / segments, ms = (s + 1) * bits / segments - b0;
            if (ms == 0) continue;
            const std::uint64_t w = ns / ms;
            if (w < 2) return std::nullopt;
            if (coded) coded->push_back({2048 + p0, ms * w});
            const Bytes h = Columns(w);
            for (std::uint64_t i = 0; i < ms; ++i) {
                unsigned bit = 0;
                for (std::uint64_t b = i < 6 ? 0 : i - 6; b <= i; ++b)
                    for (std::uint64_t k = 0; k < w; ++k)
                        bit ^= (h[k] >> (i - b) & 1) & Lsb(2048 + p0 + b * w + k);
                payload[(b0 + i) / 8] |= static_cast<std::uint8_t>(bit << ((b0 + i) % 8));
            }
        }
        return payload;
    }

    // Opens the payload with libsodium: the name and the file, or nothing when anything fails.
    std::optional<std::pair<std::string, Bytes>> Open(const Bytes& payload) const {
        crypto_secretstream_xchacha20poly1305_state state;
        if (payload.size() < 24 ||
            crypto_secretstream_xchacha20poly1305_init_pull(&state, payload.data(), k_ + 64) != 0)
            return std::nullopt;
        Bytes plain;
        unsigned char tag = 0;
        for (std::size_t at = 24; at < payload.size();) {
            if (tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL) return std::nullopt;
            const std::size_t piece = std::min<std::size_t>(65553, payload.size() - at);
            Bytes out(piece);
            unsigned long long length = 0;
            if (crypto_secretstream_xchacha20poly1305_pull(&state, out.data(), &length, &tag,
                                                           payload.data() + at, piece,
                                                           at == 24 ? salt_ : nullptr, at == 24 ? 16 : 0) != 0)
                return std::nullopt;
            plain.insert(plain.end(), out.begin(), out.begin() + static_cast<long>(length));
            at += piece;
        }
        if (tag != crypto_secretstream_xchacha20poly1305_TAG_FINAL) return std::nullopt;
        const std::size_t name = LE(plain.data(), 2);
        return std::pair{std::string(plain.begin() + 2, plain.begin() + 2 + static_cast<long>(name)),
                         Bytes(plain.begin() + 2 + static_cast<long>(name), plain.end())};
    }

    std::uint32_t Sample(std::size_t position) const { return order_[position]; }

private:
    unsigned Lsb(std::size_t position) const { return samples_[order_[position]] & 1; }

    Bytes Columns(std::uint64_t w) const {
        std::uint8_t seed[32];
        crypto_generichash(seed, 32, reinterpret_cast<const unsigned char*>("code"), 4, k_, 32);
        Bytes stream(2 * w), h(w);
        randombytes_buf_deterministic(stream.data(), stream.size(), seed);
        for (std::uint64_t k = 0; k < w; ++k) h[k] = static_cast<std::uint8_t>((LE(&stream[2 * k], 2) & 0x7F) | 0x41);
        return h;
    }

    const Bytes& samples_;
    std::uint8_t salt_[16];
    std::uint8_t k_[96];
    std::vector<std::uint32_t> order_;
};

Bytes Seal(const StealthKeys& keys, const std::string& name, const Bytes& file) {
    std::size_t read = 0;
    MessageSealer sealer(keys, name, file.size(), [&](std::span<std::uint8_t> out) {
        std::copy_n(file.begin() + static_cast<long>(read), out.size(), out.begin());
        read += out.size();
    });
    Bytes payload = sealer.Seal();
    EXPECT_EQ(payload.size(), sealer.PayloadLength());
    EXPECT_EQ(read, file.size());
    return payload;
}

struct Carrier {
    const char* name;
    SampleGeometry geometry;
    std::size_t fileLength;
};

std::vector<bool> HalfTransparentRows(std::uint32_t width, std::uint32_t height) {
    std::vector<bool> carries(std::size_t{width} * height, true);
    for (std::size_t p = 0; p < carries.size(); ++p) carries[p] = (p / width) % 2 == 0 || p % 3 != 0;
    return carries;
}

TEST(StealthCarrier, HiddenFileReadsBackThroughThePlainFormatAndOnlyChangesSamplesByOne) {
    const Carrier carriers[] = {
        {"bottom-up BMP", SampleGeometry::Bmp(200, 150, true), 1000},
        {"top-down BMP, full: two positions a bit", SampleGeometry::Bmp(64, 48, false), 396},
        {"PNG with transparent pixels", SampleGeometry::Png(180, 120, HalfTransparentRows(180, 120)), 3000},
        {"two segments, two pieces", SampleGeometry::Bmp(620, 620, true), 70000},
    };
    for (const Carrier& c : carriers) {
        SCOPED_TRACE(c.name);
        const Bytes cover = testing::TestSamples(c.geometry, 7);
        Bytes samples = cover;
        const auto keys = testing::PictureKeys("correct horse", c.geometry);
        const Bytes file = Bytes(c.fileLength, 0x5A);
        const Bytes payload = Seal(keys, "notes.txt", file);
        std::vector<double> progress;
        PixelCover pixels(samples, c.geometry);
        auto changed = Embed(pixels, keys, payload,
                             {.threads = 2, .progress = [&](double f) { progress.push_back(f); }});
        ASSERT_TRUE(changed);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
        EXPECT_EQ(progress.back(), 1.0);

        PlainReader plain(samples, "correct horse", c.geometry.Width(), c.geometry.Height());
        EXPECT_EQ(plain.Payload(), payload);
        EXPECT_EQ(plain.Open(payload), (std::pair{std::string("notes.txt"), file}));
        EXPECT_EQ(ReadPayload(pixels, keys), payload);
        EXPECT_EQ(PlainReader(samples, "correct horsf", c.geometry.Width(), c.geometry.Height()).Payload(),
                  std::nullopt);

        std::vector<std::uint32_t> differ;
        int fromZero = 0, from255 = 0, up = 0;
        for (std::uint32_t i = 0; i < samples.size(); ++i) {
            if (samples[i] == cover[i]) continue;
            differ.push_back(i);
            EXPECT_EQ(std::abs(samples[i] - cover[i]), 1) << i;
            fromZero += cover[i] == 0;
            from255 += cover[i] == 255;
            up += cover[i] != 0 && cover[i] != 255 && samples[i] > cover[i];
            EXPECT_FALSE(cover[i] == 0 && samples[i] != 1) << i;
            EXPECT_FALSE(cover[i] == 255 && samples[i] != 254) << i;
        }
        EXPECT_EQ(*changed, differ);
        EXPECT_GT(fromZero, 0);
        EXPECT_GT(from255, 0);
        // Changes of samples that may go either way go up or down at random.
        const double free = static_cast<double>(differ.size() - fromZero - from255);
        EXPECT_NEAR(up / free, 0.5, 4 / std::sqrt(free));
    }
}

TEST(StealthCarrier, WrongPassphraseFindsNothingAndWipedPictureHoldsNothing) {
    const SampleGeometry geometry = SampleGeometry::Bmp(160, 120, true);
    Bytes samples = testing::TestSamples(geometry, 3);
    const Bytes clean = samples;
    PixelCover pixels(samples, geometry);
    const auto keys = testing::PictureKeys("pw", geometry);
    const auto other = testing::PictureKeys("pw!", geometry);
    const auto otherSize = StealthKeys::Derive("pw", PixelSalt(160, 121), KdfCost::Cheapest());
    EXPECT_EQ(ReadPayload(pixels, keys), std::nullopt);
    const Bytes payload = Seal(keys, "a", Bytes(500, 1));
    ASSERT_TRUE(Embed(pixels, keys, payload));
    EXPECT_EQ(ReadPayload(pixels, other), std::nullopt);
    EXPECT_EQ(ReadPayload(pixels, otherSize), std::nullopt);

    const Bytes hidden = samples;
    const auto wiped = Wipe(pixels, keys, static_cast<std::uint32_t>(payload.size()));
    ASSERT_TRUE(wiped);
    EXPECT_EQ(ReadPayload(pixels, keys), std::nullopt);
    EXPECT_EQ(PlainReader(samples, "pw", 160, 120).Payload(), std::nullopt);
    std::size_t fromClean = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        EXPECT_LE(std::abs(samples[i] - hidden[i]), 1);
        fromClean += samples[i] != clean[i];
    }
    // The body was coded again with random bytes, about as many changes as a hide makes.
    EXPECT_GT(wiped->size(), 100u);
    EXPECT_GT(fromClean, 100u);
}

TEST(StealthCarrier, PayloadThatDoesNotFitLeavesThePictureAlone) {
    const SampleGeometry geometry = SampleGeometry::Png(30, 30);  // 2,700 samples, 652 in the body
    Bytes samples = testing::TestSamples(geometry, 5);
    const Bytes before = samples;
    const auto keys = testing::PictureKeys("pw", geometry);
    PixelCover pixels(samples, geometry);
    EXPECT_EQ(Embed(pixels, keys, Bytes(41, 0)), std::nullopt);
    EXPECT_EQ(Embed(pixels, keys, Bytes{}), std::nullopt);
    EXPECT_EQ(samples, before);
    ASSERT_TRUE(Embed(pixels, keys, Bytes(40, 9)));
    EXPECT_EQ(ReadPayload(pixels, keys), Bytes(40, 9));
    const SampleGeometry shorter = SampleGeometry::Png(30, 29);
    EXPECT_THROW(PixelCover(samples, shorter), std::invalid_argument);
}

// A cover whose samples may not all change: the core never changes one that may not, and
// where those leave the body's code or a header group no way, the payload does not fit and the
// cover is left as it was. A wipe then leaves the body alone, and without a header group that
// may change it has nothing to do.
TEST(StealthCarrier, SamplesThatMayNotChangeNeverDoAndCanLeaveNoRoom) {
    constexpr std::size_t kSamples = 6048;
    const auto keys = StealthKeys::Derive("pw", StealthKeys::SaltBytes{9}, KdfCost::Cheapest());
    const auto order = KeyedOrder::Shuffle(kSamples, keys.Order());
    std::mt19937 rng(5);
    Bytes values(kSamples);
    for (std::uint8_t& v : values) v = static_cast<std::uint8_t>(rng() % 200);
    Bytes payload(100);
    for (std::uint8_t& b : payload) b = static_cast<std::uint8_t>(rng());
    enum class Held { EveryThird, Body, Header };
    auto prices = [&](Held held, bool allFree) {
        std::vector<float> out(kSamples);
        for (std::size_t position = 0; position < kSamples; ++position) {
            const std::uint32_t s = order[position];
            const bool header = position < ParityHeader::kPositions;
            const bool wet = !allFree && (held == Held::EveryThird ? s % 3 == 0 : header == (held == Held::Header));
            out[s] = wet ? std::numeric_limits<float>::infinity() : static_cast<float>(1 + s % 7);
        }
        return out;
    };
    testing::TestCover clean(values, prices(Held::Body, true));
    ASSERT_TRUE(Embed(clean, keys, payload));
    const Bytes hidden = clean.Values();

    struct Row {
        const char* name;
        Held held;
        bool wipe;
        bool done;
    };
    const Row rows[] = {
        {"hide around a third that may not change", Held::EveryThird, false, true},
        {"hide with no body sample free", Held::Body, false, false},
        {"hide with no header sample free", Held::Header, false, false},
        {"wipe around a third that may not change", Held::EveryThird, true, true},
        {"wipe with no body sample free: the header alone", Held::Body, true, true},
        {"wipe with no header sample free", Held::Header, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Bytes& before = row.wipe ? hidden : values;
        const std::vector<float> price = prices(row.held, false);
        testing::TestCover cover(before, price);
        const bool done = row.wipe ? Wipe(cover, keys, 100).has_value() : Embed(cover, keys, payload).has_value();
        EXPECT_EQ(done, row.done);
        EXPECT_EQ(cover.Applied(), row.done);
        if (!row.done) {
            EXPECT_EQ(cover.Values(), before);
            continue;
        }
        std::size_t changed = 0;
        for (std::size_t s = 0; s < kSamples; ++s) {
            changed += cover.Values()[s] != before[s];
            if (std::isinf(price[s])) {
                EXPECT_EQ(cover.Values()[s], before[s]) << s;
            }
        }
        EXPECT_GT(changed, 0u);
        EXPECT_EQ(ReadPayload(cover, keys), row.wipe ? std::nullopt : std::optional(payload));
    }
}

// BLAKE2b of every changed sample's index (32-bit little-endian) and new value, in order.
std::string DigestOfChanges(const Bytes& before, const Bytes& after) {
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, 32);
    for (std::uint32_t i = 0; i < after.size(); ++i) {
        if (after[i] == before[i]) continue;
        const std::uint8_t change[5] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8),
                                        static_cast<std::uint8_t>(i >> 16), static_cast<std::uint8_t>(i >> 24),
                                        after[i]};
        crypto_generichash_update(&state, change, sizeof change);
    }
    std::uint8_t digest[32];
    crypto_generichash_final(&state, digest, sizeof digest);
    char hex[65];
    sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    return hex;
}

constexpr FreeChoices::Seed kChoices = {7, 1, 7, 1, 7, 1, 7, 1, 7, 1, 7, 1, 7, 1, 7, 1,
                                        7, 1, 7, 1, 7, 1, 7, 1, 7, 1, 7, 1, 7, 1, 7, 1};

// A hide and a wipe with every free choice drawn from one seed.
void SeededHide(Bytes& samples, const SampleGeometry& geometry, const StealthKeys& keys,
                const Bytes& payload, unsigned threads) {
    PixelCover pixels(samples, geometry);
    EXPECT_TRUE(Embed(pixels, keys, payload, {.threads = threads, .seed = kChoices}));
}

void SeededWipe(Bytes& samples, const SampleGeometry& geometry, const StealthKeys& keys,
                std::uint32_t payloadLength) {
    PixelCover pixels(samples, geometry);
    EXPECT_TRUE(Wipe(pixels, keys, payloadLength, {.threads = 2, .seed = kChoices}));
}

std::optional<Bytes> ReadFrom(Bytes& samples, const SampleGeometry& geometry, const StealthKeys& keys) {
    return ReadPayload(PixelCover(samples, geometry), keys);
}

StealthKeys KeysFor(const SampleGeometry& geometry) { return testing::PictureKeys("same carrier", geometry); }

// The same picture, keys, payload and choices make the same carrier, change for change: what a
// hide writes may not drift as the code is reshaped, nor with the number of threads. A wipe's
// row digests the wipe's changes.
TEST(StealthCarrier, SeededHideAndWipeMakeTheSameChangesAsEver) {
    struct Row {
        const char* name;
        SampleGeometry geometry;
        std::size_t payload;
        unsigned threads;
        bool wipe;
        const char* digest;
    };
    const Row rows[] = {
        {"bottom-up BMP", SampleGeometry::Bmp(96, 64, true), 400, 2, false,
         "793c2d7c3900d1dec34ca38185dfddb31f78e6afaa4de12e176e2ca7b7e01345"},
        {"bottom-up BMP, one thread", SampleGeometry::Bmp(96, 64, true), 400, 1, false,
         "793c2d7c3900d1dec34ca38185dfddb31f78e6afaa4de12e176e2ca7b7e01345"},
        {"PNG with transparent pixels", SampleGeometry::Png(80, 60, HalfTransparentRows(80, 60)), 300, 2, false,
         "50d2da38cc1a4af370ceb259594e066e74c45512247650aa01bfc7053b4372e5"},
        {"opaque PNG, one thread", SampleGeometry::Png(64, 64), 350, 1, false,
         "667130c9e9654b0b9ab56fc25e8e472e8d484859f6ad0826181bf2eefee964b2"},
        {"top-down BMP, wiped", SampleGeometry::Bmp(70, 50, false), 300, 2, true,
         "53dd912a074432dd5ff85ec73f56914e72b3b7e131a7be651ecba6864c082528"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes samples = testing::TestSamples(row.geometry, 21);
        std::mt19937 rng(static_cast<std::uint32_t>(row.payload));
        Bytes payload(row.payload);
        for (std::uint8_t& b : payload) b = static_cast<std::uint8_t>(rng());
        const StealthKeys keys = KeysFor(row.geometry);
        const Bytes cover = samples;
        SeededHide(samples, row.geometry, keys, payload, row.threads);
        ASSERT_EQ(ReadFrom(samples, row.geometry, keys), payload);
        const Bytes hidden = samples;
        if (row.wipe) {
            SeededWipe(samples, row.geometry, keys, static_cast<std::uint32_t>(payload.size()));
            EXPECT_EQ(ReadFrom(samples, row.geometry, keys), std::nullopt);
        }
        EXPECT_EQ(DigestOfChanges(row.wipe ? hidden : cover, samples), row.digest);
    }
}

// Flipping the lowest bit of any coded body sample breaks the message; samples past a segment's
// coded positions carry nothing.
TEST(StealthCarrier, FlippedCodedSampleMakesTheMessageDamaged) {
    const SampleGeometry geometry = SampleGeometry::Bmp(100, 100, true);
    Bytes samples = testing::TestSamples(geometry, 11);
    const auto keys = testing::PictureKeys("pw", geometry);
    // 12,384 payload bits in 27,952 body positions: two a bit, 3,184 left uncoded.
    PixelCover pixels(samples, geometry);
    ASSERT_TRUE(Embed(pixels, keys, Seal(keys, "x.bin", Bytes(1500, 3))));
    std::vector<PlainReader::Coded> coded;
    const PlainReader plain(samples, "pw", 100, 100);
    ASSERT_TRUE(plain.Payload(&coded));
    ASSERT_EQ(coded.size(), 1u);
    ASSERT_LT(coded[0].first + coded[0].count, samples.size());
    struct Row {
        std::size_t position;
        bool opens;
    };
    const std::size_t end = coded[0].first + coded[0].count;
    for (Row row : {Row{coded[0].first, false}, Row{coded[0].first + coded[0].count / 2, false},
                    Row{end - 1, false}, Row{end, true}, Row{samples.size() - 1, true}}) {
        SCOPED_TRACE(row.position);
        Bytes changed = samples;
        changed[plain.Sample(row.position)] ^= 1;
        auto read = ReadPayload(PixelCover(changed, geometry), keys);
        ASSERT_TRUE(read);
        std::string name;
        MessageOpener opener(keys, [&](const std::string& n) { name = n; }, [](auto) {});
        if (row.opens) {
            EXPECT_NO_THROW(opener.Open(*read));
            EXPECT_EQ(name, "x.bin");
        } else {
            try {
                opener.Open(*read);
                ADD_FAILURE() << "opened";
            } catch (const StealthError& e) {
                EXPECT_EQ(e.kind(), StealthError::Kind::Damaged);
            }
        }
    }
}

}  // namespace
}  // namespace velquist::stealth
