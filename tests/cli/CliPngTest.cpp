// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include "CliRunner.h"
#include "cli/CliTexts.h"
#include "platform/SignalCleanup.h"
#include "support/PassHarness.h"
#include "support/PngMaker.h"
#include "support/TempDir.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using namespace velquist::png::testing;

constexpr const char* kPassphrase = "harbour lights\n";

Bytes Picture(const PngRecipe& recipe) { return WritePng(recipe, PatternSamples(recipe)); }

std::vector<std::string> HideArgs(const std::string& picture, const std::string& message) {
    return {"hide", picture, message, "--format", "3", "--password-stdin"};
}

// The picture's access list and the user's attributes, as the system gives them.
std::map<std::string, std::string> KeptAttributes(const std::string& path) {
    std::string names(4096, '\0');
    ssize_t length = ::listxattr(path.c_str(), names.data(), names.size());
    std::map<std::string, std::string> kept;
    for (std::size_t at = 0; length > 0 && at < static_cast<std::size_t>(length); at += std::strlen(&names[at]) + 1) {
        std::string name = &names[at];
        if (!name.starts_with("user.") && !name.starts_with("system.")) continue;
        std::string value(4096, '\0');
        ssize_t size = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        kept[name] = value.substr(0, static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
    }
    return kept;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Every usable kind of PNG takes a message and gives it back; the file keeps every chunk but
// its image data, its permissions, its alpha, and moves colour samples by one at most.
TEST(CliPng, EveryUsableKindCarriesAFileAndKeepsAllElse) {
    struct Case {
        const char* name;
        PngRecipe recipe;
        Bytes before = {};  // chunks put before the image data
        Bytes after = {};   // and before the end
    };
    const std::vector<Case> cases = {
        {"rgb", {.width = 100, .height = 80}},
        {"rgba with transparent pixels", {.width = 100, .height = 80, .colourType = 6}},
        {"interlaced rgb", {.width = 97, .height = 83, .interlaced = true}},
        {"interlaced rgba, text and a private chunk", {.width = 90, .height = 90, .colourType = 6, .interlaced = true},
         Chunk("tEXt", Text(std::string_view("Comment\0harbour", 15))), Chunk("prVt", Text("kept as it is"))},
        {"image data in small chunks", {.width = 100, .height = 80, .idatSize = 700}},
        {"colour profile, gamma, size and time", {.width = 100, .height = 90, .colourType = 6},
         Join({Chunk("iCCP", Join({Text(std::string_view("icc\0\0", 5)), Zlib(Bytes(128, 7))})),
               Chunk("gAMA", {0, 0, 0xB1, 0x8F}), Chunk("pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1})}),
         Chunk("tIME", {0x07, 0xEA, 12, 9, 3, 0, 0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string picture = dir.File("photo.png");
        Bytes original = Picture(c.recipe);
        if (!c.before.empty()) original = InsertBeforeImage(original, c.before);
        if (!c.after.empty()) original = InsertBeforeEnd(original, c.after);
        WriteAll(picture, original);
        ASSERT_EQ(::chmod(picture.c_str(), 0640), 0);
        ::mkdir(dir.File("in").c_str(), 0700);
        const Bytes message = RandomBytes(120, 7);
        WriteAll(dir.File("in/note.txt"), message);

        CliResult hidden = CliRunner::WithInput(kPassphrase).Run(HideArgs(picture, dir.File("in/note.txt")));
        ASSERT_EQ(hidden.code, 0) << hidden.err;
        EXPECT_EQ(hidden.err, Line(cli_texts::kEmbedDone));

        const Bytes carrier = ReadAll(picture);
        EXPECT_EQ(ChunksOtherThanImage(carrier), ChunksOtherThanImage(original));
        const ReadPicture was = ReadPng(original);
        const ReadPicture is = ReadPng(carrier);
        ASSERT_EQ(is.channels, was.channels);
        ASSERT_EQ(is.samples.size(), was.samples.size());
        std::size_t changed = 0;
        for (std::size_t i = 0; i < is.samples.size(); ++i) {
            const int step = std::abs(int{is.samples[i]} - int{was.samples[i]});
            const bool alpha = is.channels == 4 && i % 4 == 3;
            const bool transparent = is.channels == 4 && was.samples[i - i % 4 + 3] == 0;
            ASSERT_LE(step, alpha || transparent ? 0 : 1) << "sample " << i;
            changed += step;
        }
        EXPECT_GT(changed, 0u);
        struct stat st {};
        ASSERT_EQ(::stat(picture.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string>{"in", "photo.png"}));

        const std::vector<std::string> extract = {"extract", picture, "--output-dir", dir.path(), "--password-stdin"};
        CliResult taken = CliRunner::WithInput(kPassphrase).Run(extract);
        ASSERT_EQ(taken.code, 0) << taken.err;
        EXPECT_EQ(ReadAll(dir.File("note.txt")), message);
        CliResult wiped = CliRunner::WithInput(kPassphrase).Run({"wipe", picture, "--password-stdin"});
        EXPECT_EQ(wiped.code, 0) << wiped.err;
        EXPECT_EQ(CliRunner::WithInput(kPassphrase).Run(extract).code, 3);
        EXPECT_EQ(ChunksOtherThanImage(ReadAll(picture)), ChunksOtherThanImage(original));
    }
}

// A PNG that cannot carry, a request it cannot take and a write that fails all leave the
// picture byte for byte and nothing beside it.
TEST(CliPng, RefusedOrFailedPicturesAreLeftWholeWithNothingBeside) {
    auto faultOn = [](FileOp op, int number) {
        CliRunner runner = CliRunner::WithFault([=](FileOp o, int n) { return o == op && n == number; });
        runner.stdinText = kPassphrase;
        return runner;
    };
    const Bytes rgb = Picture({.width = 60, .height = 40});
    Bytes badCrc = rgb;
    badCrc.back() ^= 1;
    const Bytes bomb = Assemble(HeaderData(65535, 65535, 8, 6),
                                Chunk("IDAT", Zlib(Bytes(64 * (1 + 65535 * 4), 0))));
    const std::string unsupported = Line(cli_texts::kUnsupportedPng);
    // Writing the picture anew fails, whichever step: it says so, and the picture is as it was.
    const std::string failed = Line(cli_texts::kRewriteFailed) + "PATH/photo.png\n";
    struct Case {
        const char* name;
        Bytes picture;
        int code;
        std::string err;  // PATH stands for the folder
        CliRunner runner = CliRunner::WithInput(kPassphrase);
        bool format3 = true;
        std::size_t messageLength = 10;
    };
    const std::vector<Case> cases = {
        {"palette", Picture({.colourType = 3}), 4, unsupported},
        {"grey", Picture({.colourType = 0}), 4, unsupported},
        {"grey and alpha", Picture({.colourType = 4}), 4, unsupported},
        {"16-bit rgb", Picture({.bitDepth = 16}), 4, unsupported},
        {"transparent colour", InsertBeforeImage(rgb, Chunk("tRNS", {0, 0, 0, 0, 0, 0})), 4, unsupported},
        {"animated", InsertBeforeEnd(rgb, Chunk("acTL", {0, 0, 0, 1, 0, 0, 0, 0})), 4, unsupported},
        {"65535 x 65535 in a few kilobytes", bomb, 4, unsupported},
        {"bad checksum", badCrc, 4, Line(cli_texts::kDamaged)},
        {"cut short", Bytes(rgb.begin(), rgb.begin() + static_cast<long>(rgb.size() / 2)), 4, Line(cli_texts::kDamaged)},
        {"format 1 asked for", rgb, 2, Line(cli_texts::kPngNeedsFormat3), CliRunner::WithInput(kPassphrase), false},
        {"too large", rgb, 3, Line(cli_texts::kTooLarge), CliRunner::WithInput(kPassphrase), true, 2000},
        // A look counts every pixel and would take 250 bytes; the hide weighs the message
        // against the four fifths its decode finds not fully transparent.
        {"too large for the visible pixels", Picture({.width = 60, .height = 40, .colourType = 6}), 3,
         Line(cli_texts::kTooLarge), CliRunner::WithInput(kPassphrase), true, 250},
        {"creating the new file fails", rgb, 5, failed, faultOn(FileOp::Create, 3)},
        {"writing it fails", rgb, 5, failed, faultOn(FileOp::Write, 3)},
        {"flushing it fails", rgb, 5, failed, faultOn(FileOp::Flush, 3)},
        {"setting its permissions fails", rgb, 5, failed, faultOn(FileOp::Mode, 3)},
        {"renaming it over the picture fails", rgb, 5, failed, faultOn(FileOp::Rename, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string picture = dir.File("photo.png");
        WriteAll(picture, c.picture);
        WriteAll(dir.File("m.txt"), RandomBytes(c.messageLength, 3));
        std::vector<std::string> args = HideArgs(picture, dir.File("m.txt"));
        if (!c.format3) args[4] = "1";
        CliResult r = c.runner.Run(args);
        EXPECT_EQ(r.code, c.code);
        std::string err = c.err;
        if (auto at = err.find("PATH"); at != std::string::npos) err.replace(at, 4, dir.path());
        EXPECT_EQ(r.err, err);
        EXPECT_EQ(ReadAll(picture), c.picture);
        EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string>{"m.txt", "photo.png"}));
        if (c.code == 4) {
            EXPECT_EQ(RunCli({"inspect", picture}).code, 4);
        }
    }
}

// A rewrite keeps the picture's access list (a group it shuts out stays out, though the
// permission bits show the list's mask) and the user's attributes, or is refused saying what
// it cannot keep; it replaces only the file the picture is, under its name: another name of
// the file, or a picture gone or replaced while the hide runs, leaves every file as it was.
TEST(CliPng, RewriteKeepsWhatThePictureHadOrLeavesEveryFileAsItWas) {
    using Step = std::function<void(const TempDir&)>;
    auto acl = [](const TempDir& d) {
        ASSERT_EQ(std::system(("setfacl -m u:nobody:rw-,g::---,m::rw- " + d.File("photo.png")).c_str()), 0);
    };
    auto attributes = [](const TempDir& d) {
        for (const char* name : {"user.comment", "user.xdg.origin.url"})
            ASSERT_EQ(::setxattr(d.File("photo.png").c_str(), name, "harbour", 7, 0), 0);
    };
    const Bytes original = Picture({.width = 60, .height = 40});
    const Bytes other = Picture({.width = 30, .height = 20});
    const std::string failed = Line(cli_texts::kRewriteFailed) + "PATH/photo.png: ";
    struct Case {
        const char* name;
        Step prepare;
        int code;
        std::string err;  // PATH stands for the folder
        std::map<std::string, Bytes> left;  // every name in the folder but the message, and what
                                            // it holds; empty for the rewritten picture
        bool attributeFails = false;
        Step meanwhile = {};  // while the hide runs, before the new picture is written
        const char* via = "photo.png";
    };
    const std::vector<Case> cases = {
        {"an access list that shuts the group out", acl, 0, Line(cli_texts::kEmbedDone), {{"photo.png", {}}}},
        {"the user's attributes", attributes, 0, Line(cli_texts::kEmbedDone), {{"photo.png", {}}}},
        {"an access list that cannot be kept", acl, 5, failed + cli_texts::kCauseAclNotKept + "\n",
         {{"photo.png", original}}, true},
        {"an attribute that cannot be kept", attributes, 5, failed + cli_texts::kCauseAttributesNotKept + "\n",
         {{"photo.png", original}}, true},
        {"another name", [](const TempDir& d) { std::filesystem::create_hard_link(d.File("photo.png"), d.File("other.png")); }, 3,
         failed + cli_texts::kCauseOtherLinks + "\n", {{"other.png", original}, {"photo.png", original}}},
        {"named through a link", [](const TempDir& d) { std::filesystem::create_symlink("photo.png", d.File("link.png")); }, 0,
         Line(cli_texts::kEmbedDone), {{"link.png", {}}, {"photo.png", {}}}, false, {}, "link.png"},
        {"deleted while the hide runs", [](const TempDir&) {}, 4,
         Line(cli_texts::kCarrierGone) + "PATH/photo.png: " + cli_texts::kCauseNotFound + "\n", {}, false,
         [](const TempDir& d) { std::filesystem::remove(d.File("photo.png")); }},
        {"replaced while the hide runs", [](const TempDir&) {}, 4, Line(cli_texts::kCarrierReplaced),
         {{"photo.png", other}}, false,
         [&](const TempDir& d) {
             WriteAll(d.File("new.png"), other);
             std::filesystem::rename(d.File("new.png"), d.File("photo.png"));
         }},
        {"its link turned to another picture meanwhile",
         [&](const TempDir& d) {
             std::filesystem::create_symlink("photo.png", d.File("link.png"));
             WriteAll(d.File("other.png"), other);
         },
         4, Line(cli_texts::kCarrierReplaced), {{"link.png", other}, {"other.png", other}, {"photo.png", original}},
         false,
         [](const TempDir& d) {
             std::filesystem::create_symlink("other.png", d.File("new.png"));
             std::filesystem::rename(d.File("new.png"), d.File("link.png"));
         },
         "link.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string picture = dir.File("photo.png");
        WriteAll(picture, original);
        ASSERT_EQ(::chmod(picture.c_str(), 0640), 0);
        WriteAll(dir.File("m.txt"), RandomBytes(10, 8));
        c.prepare(dir);
        const auto attributesBefore = KeptAttributes(picture);
        const mode_t modeBefore = ModeOf(picture);
        CliRunner runner = CliRunner::WithFault([&](FileOp op, int number) {
            if (number != 3) return false;
            if (op == FileOp::Create && c.meanwhile) c.meanwhile(dir);
            return op == FileOp::Attribute && c.attributeFails;
        });
        runner.stdinText = kPassphrase;
        CliResult r = runner.Run(HideArgs(dir.File(c.via), dir.File("m.txt")));
        EXPECT_EQ(r.code, c.code);
        std::string err = c.err;
        if (auto at = err.find("PATH"); at != std::string::npos) err.replace(at, 4, dir.path());
        EXPECT_EQ(r.err, err);
        std::vector<std::string> names = {"m.txt"};
        for (const auto& [name, bytes] : c.left) names.push_back(name);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(ListFolder(dir.path()), names);
        for (const auto& [name, bytes] : c.left) {
            if (!bytes.empty()) {
                EXPECT_EQ(ReadAll(dir.File(name)), bytes) << name;
                continue;
            }
            EXPECT_NE(ReadAll(dir.File(name)), original) << name;
            EXPECT_EQ(KeptAttributes(dir.File(name)), attributesBefore);
            EXPECT_EQ(ModeOf(picture), modeBefore);
        }
    }
}

// A signal at any step of the rewrite ends the process with the old picture whole or the new
// one in its place, and no file beside it.
TEST(CliPng, SignalDuringTheRewriteLeavesOnePictureAndNothingBeside) {
    struct Case {
        FileOp step;
        int signal;
        int call = 1;           // at which call of that step on the new file
        bool replaced = false;  // the new picture had taken the old one's place
    };
    for (const Case c : {Case{FileOp::Write, SIGINT}, Case{FileOp::Flush, SIGTERM}, Case{FileOp::Mode, SIGHUP},
                         Case{FileOp::Attribute, SIGINT}, Case{FileOp::Rename, SIGTERM},
                         Case{FileOp::Rename, SIGTERM, 2}, Case{FileOp::Rename, SIGHUP, 3, true}}) {
        SCOPED_TRACE(::testing::Message() << ::strsignal(c.signal) << " at call " << c.call);
        TempDir dir;
        const std::string picture = dir.File("photo.png");
        const Bytes original = Picture({.width = 60, .height = 40});
        WriteAll(picture, original);
        ASSERT_EQ(::setxattr(picture.c_str(), "user.comment", "x", 1, 0), 0);
        WriteAll(dir.File("m.txt"), RandomBytes(10, 4));
        EXPECT_EXIT(
            {
                SignalCleanup::Install();
                int calls = 0;
                CliRunner runner = CliRunner::WithFault([&](FileOp op, int number) {
                    if (op == c.step && number == 3 && ++calls == c.call) ::raise(c.signal);
                    return false;
                });
                runner.stdinText = kPassphrase;
                runner.Run(HideArgs(picture, dir.File("m.txt")));
                std::_Exit(0);
            },
            ::testing::KilledBySignal(c.signal), "");
        if (c.replaced) {
            EXPECT_NE(ReadAll(picture), original);
            EXPECT_EQ(ReadPng(ReadAll(picture)).samples.size(), ReadPng(original).samples.size());
        } else {
            EXPECT_EQ(ReadAll(picture), original);
        }
        EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string>{"m.txt", "photo.png"}));
    }
}

// Killed outright, a rewrite may leave a file beside the picture: private while it is the new
// picture, and named after the picture, so that the next command on it removes it, even when it
// is the old picture a wipe was taking the message out of.
TEST(CliPng, WhatAKilledRewriteLeavesTheNextCommandRemoves) {
    struct Case {
        const char* name;
        bool wipe;
        int call;  // of the commit's steps: 2 before the old picture goes, 3 after
    };
    for (const Case& c : {Case{"hide killed before the old picture goes", false, 2},
                          Case{"wipe killed after the new picture took its place", true, 3}}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string picture = dir.File("photo.png");
        const Bytes original = Picture({.width = 60, .height = 40});
        WriteAll(picture, original);
        ASSERT_EQ(::chmod(picture.c_str(), 0644), 0);
        WriteAll(dir.File("m.txt"), RandomBytes(10, 4));
        if (c.wipe) {
            ASSERT_EQ(CliRunner::WithInput(kPassphrase).Run(HideArgs(picture, dir.File("m.txt"))).code, 0);
        }
        const Bytes before = ReadAll(picture);
        const std::vector<std::string> args = c.wipe ? std::vector<std::string>{"wipe", picture, "--password-stdin"}
                                                     : HideArgs(picture, dir.File("m.txt"));
        EXPECT_EXIT(
            {
                SignalCleanup::Install();
                int calls = 0;
                CliRunner runner = CliRunner::WithFault([&](FileOp op, int number) {
                    if (op == FileOp::Rename && number == 3 && ++calls == c.call) ::kill(::getpid(), SIGKILL);
                    return false;
                });
                runner.stdinText = kPassphrase;
                runner.Run(args);
                std::_Exit(0);
            },
            ::testing::KilledBySignal(SIGKILL), "");
        const std::string left = dir.File(".photo.png.velquist");
        EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string>{".photo.png.velquist", "m.txt", "photo.png"}));
        // Before the rename it is the new picture, for the user alone; after it, the old one.
        EXPECT_EQ(ModeOf(left), c.wipe ? 0644u : 0600u);
        EXPECT_EQ(ReadAll(c.wipe ? left : picture), before);

        const std::vector<std::string> extract = {"extract", picture, "--output-dir", dir.path(), "--password-stdin"};
        EXPECT_EQ(CliRunner::WithInput(kPassphrase).Run(extract).code, 3);
        EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string>{"m.txt", "photo.png"}));
    }
}

}  // namespace
}  // namespace velquist
