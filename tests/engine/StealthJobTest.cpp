// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "engine/OpenedExtraction.h"
#include "engine/PictureWipe.h"
#include "engine/format/CarrierFormat.h"
#include "support/PassHarness.h"
#include "support/PngMaker.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using Bytes = std::vector<std::uint8_t>;

// Which bytes of a BMP are colour samples: each row's first 3 × width bytes of the pixel array.
std::vector<bool> SampleBytes(const CarrierBuilder& picture, std::size_t length) {
    std::vector<bool> sample(length, false);
    std::size_t stride = CarrierBuilder::RowBytes(picture.width, 24);
    for (std::int32_t row = 0; row < std::abs(picture.height); ++row)
        for (std::size_t i = 0; i < 3 * static_cast<std::size_t>(picture.width); ++i)
            sample[picture.pixelOffset + row * stride + i] = true;
    return sample;
}

// True when `after` differs from `before` only in sample bytes, each by exactly 1; counts them.
::testing::AssertionResult OnlySamplesMovedByOne(const Bytes& before, const Bytes& after,
                                                 const std::vector<bool>& sample, int& changes) {
    if (before.size() != after.size()) return ::testing::AssertionFailure() << "length changed";
    changes = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i]) continue;
        if (!sample[i]) return ::testing::AssertionFailure() << "byte " << i << " is no sample";
        if (std::abs(before[i] - after[i]) != 1)
            return ::testing::AssertionFailure() << "sample byte " << i << " moved by more than 1";
        ++changes;
    }
    return ::testing::AssertionSuccess();
}

// Takes the message out under `passphrase` into the harness folder, under its stored name.
Outcome TakeOut(PassHarness& h, const std::string& passphrase, std::string* name = nullptr) {
    OpenedExtraction opened =
        OpenForExtraction(h.ctx, {h.carrierPath, {}}, [&] { return SecretBytes::Of(passphrase); });
    if (!opened.outcome.completed()) return opened.outcome;
    if (name) *name = opened.extraction->OutputFile("");
    return opened.extraction->Run(opened.extraction->OutputFile(h.dir.path() + "/"));
}

// Bottom-up and top-down rows, padded rows, a larger header and bytes after the pixel array: a
// version-3 hide changes nothing but sample values, each by exactly 1, marks nothing, and the
// file comes back under its own name; another passphrase finds nothing.
TEST(StealthJob, HideChangesOnlySamplesByOneAndTheFileComesBackUnderItsName) {
    const std::vector<CarrierBuilder> pictures{
        {.width = 101, .height = 60},
        {.width = 64, .height = -50, .pixelOffset = 138},
        {.width = 33, .height = 77, .trailing = 500},
    };
    for (const CarrierBuilder& picture : pictures) {
        SCOPED_TRACE(std::to_string(picture.width) + " x " + std::to_string(picture.height));
        PassHarness h;
        Bytes before = h.MakeCarrier(picture);
        Bytes message = h.MakeMessage(RandomBytes(150, 4), "txt");
        h.HideStealth("pass phrase");
        ASSERT_TRUE(h.lastHide.completed()) << static_cast<int>(h.lastHide.kind);
        EXPECT_FALSE(h.job.HiddenMark) << "the picture shows nothing, to this window either";
        Bytes after = h.Carrier();
        int changes = 0;
        EXPECT_TRUE(OnlySamplesMovedByOne(before, after, SampleBytes(picture, before.size()), changes));
        EXPECT_GT(changes, 0);
        EXPECT_EQ(GetLE32(after, 6), 0u);

        EXPECT_EQ(TakeOut(h, "pass phrasE").kind, OutcomeKind::NoData);
        std::string name;
        ASSERT_TRUE(TakeOut(h, "pass phrase", &name).completed());
        EXPECT_EQ(name, "message.txt");
        EXPECT_EQ(ReadAll(h.dir.File(name)), message);
        EXPECT_EQ(h.Carrier(), after) << "taking out writes nothing into the picture";
    }
}

// A changed bit of a coded sample, a message too large and a picture that holds a marked
// message: nothing is taken out that is not the message, and nothing is written.
TEST(StealthJob, WhatIsNotTheMessageIsNeverTakenOutAndWhatDoesNotFitIsNotHidden) {
    PassHarness h;
    Bytes clean = h.MakeCarrier({.width = 80, .height = 80});
    h.MakeMessage(RandomBytes(1000, 5), "bin");
    h.HideStealth("k");
    ASSERT_TRUE(h.lastHide.completed());
    Bytes hidden = h.Carrier();
    std::filesystem::remove(h.job.MsgPath);  // what follows must not find the message file itself
    std::size_t first = 0;
    while (hidden[first] == clean[first]) ++first;
    for (std::size_t at : {first, hidden.size() - 1}) {
        Bytes changed = hidden;
        changed[at] ^= 1;
        WriteAll(h.carrierPath, changed);
        Outcome taken = TakeOut(h, "k");
        EXPECT_TRUE(taken.kind == OutcomeKind::Damaged || taken.kind == OutcomeKind::NoData) << at;
        EXPECT_FALSE(Exists(h.dir.File("message.bin"))) << at;
    }

    WriteAll(h.carrierPath, clean);
    h.MakeMessage(RandomBytes(8000, 6), "bin");  // far past what 80 x 80 pixels carry
    h.HideStealth("k");
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::TooLarge);
    EXPECT_EQ(h.Carrier(), clean);

    h.MakeMessage(RandomBytes(10, 6), "bin");
    h.Hide();
    Bytes marked = h.Carrier();
    h.HideStealth("k");
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::HoldsData);
    // A marker word's message is what comes out: the passphrase is not even asked for.
    bool asked = false;
    OpenedExtraction opened = OpenForExtraction(h.ctx, {h.carrierPath, {}}, [&asked] {
        asked = true;
        return SecretBytes::Of("k");
    });
    ASSERT_TRUE(opened.outcome.completed());
    EXPECT_FALSE(asked);
    EXPECT_EQ(opened.extraction->OutputFile("/out/"), "/out/output.bin");
    opened.extraction->Close();
    EXPECT_EQ(h.Carrier(), marked);
}

// A wipe with the passphrase leaves a picture that opens to nothing, changed the way a hide
// changes one; the wrong passphrase wipes nothing.
TEST(StealthJob, WipeWithThePassphraseLeavesNothingToTakeOut) {
    PassHarness h;
    CarrierBuilder picture{.width = 90, .height = 70};
    h.MakeCarrier(picture);
    h.MakeMessage(RandomBytes(400, 7), "txt");
    h.HideStealth("wipe me");
    ASSERT_TRUE(h.lastHide.completed());
    Bytes hidden = h.Carrier();
    h.job.ImagePath = h.carrierPath;
    auto wipe = [&h](const char* passphrase) {
        return WipePicture(h.ctx, {h.carrierPath, {}}, [=] { return SecretBytes::Of(passphrase); });
    };
    EXPECT_EQ(wipe("not me").kind, OutcomeKind::NoData);
    EXPECT_EQ(h.Carrier(), hidden);
    ASSERT_TRUE(wipe("wipe me").completed());
    int changes = 0;
    EXPECT_TRUE(OnlySamplesMovedByOne(hidden, h.Carrier(), SampleBytes(picture, hidden.size()), changes));
    EXPECT_GT(changes, 0);
    EXPECT_EQ(TakeOut(h, "wipe me").kind, OutcomeKind::NoData);
    EXPECT_FALSE(h.platform.Files().IsOpen(1));
}

// A PNG with another name (a hard link) is rewritten only when the user allowed it: the other
// name goes on holding the old picture, which a wipe would leave holding the message.
TEST(StealthJob, HardLinkedPngIsRewrittenOnlyWhenAllowed) {
    PassHarness h;
    const png::testing::PngRecipe recipe{.width = 60, .height = 40};
    const Bytes original = png::testing::WritePng(recipe, png::testing::PatternSamples(recipe));
    const std::string picture = h.dir.File("photo.png");
    WriteAll(picture, original);
    ASSERT_EQ(::link(picture.c_str(), h.dir.File("other.png").c_str()), 0);
    h.job.ImagePath = picture;
    h.MakeMessage(RandomBytes(40, 9), "txt");
    h.HideStealth("linked");
    EXPECT_EQ(h.lastHide.kind, OutcomeKind::RewriteFailure);
    EXPECT_EQ(h.lastHide.cause, FileCause::OtherLinks);
    EXPECT_EQ(ReadAll(picture), original);
    EXPECT_EQ(ListFolder(h.dir.path()), (std::vector<std::string>{"message.txt", "other.png", "photo.png"}));

    h.ctx.allowOtherLinks = true;
    h.HideStealth("linked");
    ASSERT_TRUE(h.lastHide.completed());
    EXPECT_NE(ReadAll(picture), original);
    EXPECT_EQ(ReadAll(h.dir.File("other.png")), original);
    EXPECT_EQ(ListFolder(h.dir.path()), (std::vector<std::string>{"message.txt", "other.png", "photo.png"}));
}

}  // namespace
}  // namespace velquist
