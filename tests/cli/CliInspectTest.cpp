// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <map>

#include "CliRunner.h"
#include "cli/CliTexts.h"
#include "support/CarrierBuilder.h"
#include "support/PassHarness.h"
#include "support/PngMaker.h"
#include "support/TempDir.h"

namespace velquist {
namespace {

using namespace velquist::testing;
using Fields = std::map<std::string, std::string>;

// Reads back a flat JSON object: strings come back unescaped in quotes, every other value
// as written. Anything malformed fails the test.
Fields ParseFlatJson(const std::string& text) {
    Fields fields;
    std::size_t i = 0;
    auto expect = [&](char c) {
        if (i >= text.size() || text[i] != c) ADD_FAILURE() << "expected " << c << " at " << i << " in " << text;
        ++i;
    };
    auto string = [&] {
        std::string s = "\"";
        expect('"');
        while (i < text.size() && text[i] != '"') {
            if (text[i] == '\\') ++i;
            s.push_back(text[i++]);
        }
        expect('"');
        return s + "\"";
    };
    expect('{');
    while (i < text.size() && text[i] != '}') {
        std::string key = string();
        expect(':');
        std::string value;
        if (text[i] == '"') {
            value = string();
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != '}') value.push_back(text[i++]);
        }
        EXPECT_TRUE(fields.emplace(key.substr(1, key.size() - 2), value).second) << key;
        if (text[i] == ',') ++i;
    }
    expect('}');
    expect('\n');
    EXPECT_EQ(i, text.size());
    return fields;
}

TEST(CliInspect, JsonReportsTheHeaderAndTheCapacity) {
    struct Case {
        std::string name;
        CarrierBuilder picture;
        std::function<void(const std::string& carrier, TempDir&)> prepare;
        Fields expected;
    };
    auto hide = [](const std::string& password, std::size_t length, std::string format = "1") {
        return [=](const std::string& carrier, TempDir& dir) {
            WriteAll(dir.File("note.txt"), RandomBytes(length, 1));
            std::vector<std::string> args = {"hide", carrier, dir.File("note.txt")};
            if (!password.empty()) args.insert(args.end(), {"--password-stdin", "--format", format});
            ASSERT_EQ(CliRunner::WithInput(password + "\n").Run(args).code, 0);
        };
    };
    auto marker = [](std::uint32_t word, std::string ext) {
        return [=](const std::string& carrier, TempDir&) {
            auto bytes = ReadAll(carrier);
            PutLE32(bytes, 6, word);
            std::copy(ext.begin(), ext.end(), bytes.begin() + 54);
            WriteAll(carrier, bytes);
        };
    };
    auto none = [](const std::string&, TempDir&) {};
    const std::vector<Case> cases = {
        {"empty 100 x 100", {}, none,
         {{"container", "\"bmp\""}, {"bitCount", "24"}, {"holdsData", "false"}, {"version", "null"}, {"protected", "false"}, {"encrypted", "false"},
          {"extension", "null"}, {"messageLength", "null"}, {"capacityBytes", "7497"}, {"capacityKB", "7"},
          {"stealthCapacityBytes", "1704"}, {"stealthSafeBytes", "332"}}},
        {"empty 640 x 480", {.width = 640, .height = 480}, none,
         {{"container", "\"bmp\""}, {"bitCount", "24"}, {"holdsData", "false"}, {"version", "null"}, {"protected", "false"}, {"encrypted", "false"},
          {"extension", "null"}, {"messageLength", "null"}, {"capacityBytes", "230397"}, {"capacityKB", "225"},
          {"stealthCapacityBytes", "57429"}, {"stealthSafeBytes", "11477"}}},
        {"3,000 bytes after the pixels", {.trailing = 3000}, none,
         {{"container", "\"bmp\""}, {"bitCount", "24"}, {"holdsData", "false"}, {"version", "null"}, {"protected", "false"}, {"encrypted", "false"},
          {"extension", "null"}, {"messageLength", "null"}, {"capacityBytes", "7497"}, {"capacityKB", "7"},
          {"stealthCapacityBytes", "1704"}, {"stealthSafeBytes", "332"}}},
        {"protected message", {}, hide("pw", 10),
         {{"container", "\"bmp\""}, {"bitCount", "24"}, {"holdsData", "true"}, {"version", "1"}, {"protected", "true"}, {"encrypted", "false"},
          {"extension", "\"txt\""}, {"messageLength", "10"}, {"capacityBytes", "7497"}, {"capacityKB", "7"},
          {"stealthCapacityBytes", "1704"}, {"stealthSafeBytes", "332"}}},
        {"encrypted message", {}, hide("pw", 10, "2"),
         {{"container", "\"bmp\""}, {"bitCount", "24"}, {"holdsData", "true"}, {"version", "2"}, {"protected", "true"}, {"encrypted", "true"},
          {"extension", "\"txt\""}, {"messageLength", "67"}, {"capacityBytes", "7497"}, {"capacityKB", "7"},
          {"stealthCapacityBytes", "1704"}, {"stealthSafeBytes", "332"}}},
        {"plain message", {}, hide("", 7497),
         {{"container", "\"bmp\""}, {"bitCount", "24"}, {"holdsData", "true"}, {"version", "1"}, {"protected", "false"}, {"encrypted", "false"},
          {"extension", "\"txt\""}, {"messageLength", "7497"}, {"capacityBytes", "7497"}, {"capacityKB", "7"},
          {"stealthCapacityBytes", "1704"}, {"stealthSafeBytes", "332"}}},
        // A version-3 message shows nothing, not even to this program.
        {"version-3 message", {}, hide("pass phrase", 300, "3"),
         {{"container", "\"bmp\""}, {"bitCount", "24"}, {"holdsData", "false"}, {"version", "null"}, {"protected", "false"}, {"encrypted", "false"},
          {"extension", "null"}, {"messageLength", "null"}, {"capacityBytes", "7497"}, {"capacityKB", "7"},
          {"stealthCapacityBytes", "1704"}, {"stealthSafeBytes", "332"}}},
        {"foreign reserved fields", {}, marker(0x2800000Fu, "a\"/"),
         {{"container", "\"bmp\""}, {"bitCount", "24"}, {"holdsData", "true"}, {"version", "2"}, {"protected", "true"}, {"encrypted", "true"},
          {"extension", "\"a\"_\""}, {"messageLength", "15"}, {"capacityBytes", "7497"}, {"capacityKB", "7"},
          {"stealthCapacityBytes", "1704"}, {"stealthSafeBytes", "332"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::string carrier = dir.File("carrier.bmp");
        WriteAll(carrier, c.picture.Build());
        c.prepare(carrier, dir);
        CliResult r = RunCli({"inspect", carrier, "--json"});
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(ParseFlatJson(r.out), c.expected) << r.out;
    }
    // A PNG carries version 3 only, in the colour samples of its pixels that are not fully
    // transparent. A look reads no pixels, so it counts every pixel: 100 x 100 RGB has the
    // samples of the BMP above, and so has RGBA, though every fifth pixel is transparent (the
    // hide, which decodes it, weighs the message against four fifths of them).
    struct PngCase {
        std::string name;
        png::testing::PngRecipe recipe;
        std::string bitCount;
        std::string largest;
        std::string safe;
    };
    for (const PngCase& c : {PngCase{"rgb png", {.width = 100, .height = 100}, "24", "1704", "332"},
                             PngCase{"rgba png", {.width = 100, .height = 100, .colourType = 6}, "32",
                                     "1704", "332"}}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteAll(dir.File("photo.png"), png::testing::WritePng(c.recipe, png::testing::PatternSamples(c.recipe)));
        CliResult r = RunCli({"inspect", dir.File("photo.png"), "--json"});
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(ParseFlatJson(r.out),
                  (Fields{{"container", "\"png\""}, {"bitCount", c.bitCount}, {"holdsData", "false"},
                          {"version", "null"}, {"protected", "false"}, {"encrypted", "false"},
                          {"extension", "null"}, {"messageLength", "null"}, {"capacityBytes", "0"},
                          {"capacityKB", "0"}, {"stealthCapacityBytes", c.largest}, {"stealthSafeBytes", c.safe}}))
            << r.out;
    }
}

TEST(CliInspect, PlainOutputListsTheSameFactsLineByLine) {
    TempDir dir;
    std::string carrier = dir.File("carrier.bmp");
    WriteAll(carrier, CarrierBuilder{}.Build());
    const CliRunner chinese = CliRunner::InChinese();
    EXPECT_EQ(RunCli({"inspect", carrier}).out,
              "picture file: bmp\nbit count: 24\nhidden data: none\nlargest message (bytes): 7497\ncapacity (KB): 7\n"
              "largest format-3 file (bytes): 1704\nsafe format-3 file (bytes): 332\n");
    EXPECT_EQ(chinese.Run({"inspect", carrier}).out,
              "图片文件: bmp\n位数: 24\n隐藏信息: 无\n最大可嵌入（字节）: 7497\n可嵌入（KB）: 7\n"
              "格式3最大文件（字节）: 1704\n格式3安全文件大小（字节）: 332\n");
    WriteAll(dir.File("m.pdf"), RandomBytes(10, 2));
    ASSERT_EQ(CliRunner::WithInput("x\n").Run({"hide", carrier, dir.File("m.pdf"), "--password-stdin", "--format", "1"}).code, 0);
    EXPECT_EQ(RunCli({"inspect", carrier}).out,
              "picture file: bmp\nbit count: 24\nhidden data: present\nformat version: 1\npassword protected: yes\n"
              "content encrypted: no\nextension: pdf\nmessage length (bytes): 10\n"
              "largest message (bytes): 7497\ncapacity (KB): 7\n"
              "largest format-3 file (bytes): 1704\nsafe format-3 file (bytes): 332\n");
    EXPECT_EQ(chinese.Run({"inspect", carrier}).out,
              "图片文件: bmp\n位数: 24\n隐藏信息: 有\n格式版本: 1\n密码保护: 是\n内容加密: 否\n扩展名: pdf\n信息长度（字节）: 10\n"
              "最大可嵌入（字节）: 7497\n可嵌入（KB）: 7\n"
              "格式3最大文件（字节）: 1704\n格式3安全文件大小（字节）: 332\n");
}

}  // namespace
}  // namespace velquist
