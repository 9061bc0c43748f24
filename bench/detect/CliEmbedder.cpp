// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliEmbedder.h"

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string_view>

#include "BmpFile.h"

namespace velquist::detect {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPassword = "bench-pw";
constexpr std::string_view kMessageName = "message.bin";

// Sealed streams (versions 2 and 3) go in pieces of 64 KiB, each with a 17-byte tag.
constexpr std::int64_t kPieceLength = 65536;
constexpr std::int64_t kPieceOverhead = 17;

std::int64_t Tags(std::int64_t plain) {
    return kPieceOverhead * std::max<std::int64_t>(1, (plain + kPieceLength - 1) / kPieceLength);
}

// The bytes a hide carries for a message of `message` bytes. Version 2: a 16-byte salt and a
// 24-byte stream header before the sealed message. Version 3, as the stealth format lays it
// out: a 64-bit parity header, the 24-byte stream header, then the name's length, the name and
// the message, sealed.
std::int64_t CarriedBytes(int version, std::int64_t message) {
    if (version == 1) return message;
    if (version == 2) return 16 + 24 + message + Tags(message);
    const std::int64_t plain = 1 + static_cast<std::int64_t>(kMessageName.size()) + message;
    return 8 + 24 + plain + Tags(plain);
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A folder of its own for one hide, removed again however the hide ends.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "velquist-detect-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch folder");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line.empty() ? "(no message)" : line;
}

}  // namespace

std::int64_t CliEmbedder::MessageLength(int version, double rate, std::int64_t samples) {
    const std::int64_t carried = std::llround(rate * static_cast<double>(samples) / 8.0);
    std::int64_t message = carried;
    while (message > 0 && CarriedBytes(version, message) > carried) --message;
    return message;
}

std::string CliEmbedder::command(const std::string& picture, const std::string& message) const {
    std::string line = Quoted(cli_) + " hide " + Quoted(picture) + " " + Quoted(message);
    if (version_ == 3) line += " --format 3";
    if (version_ >= 2) line += " --password-stdin";
    return line;
}

bool CliEmbedder::hideInCopy(const std::string& cover, const std::string& copyName, std::int64_t length,
                             std::uint64_t seed, std::string& failure,
                             const std::function<void(const std::string&)>& take) const {
    ScratchFolder scratch;
    const std::string picture = scratch.file(copyName);
    const std::string message = scratch.file(kMessageName);
    const std::string errors = scratch.file("errors.txt");
    fs::copy_file(cover, picture);
    {
        std::mt19937_64 random(seed);
        std::ofstream out(message, std::ios::binary);
        for (std::int64_t i = 0; i < length; ++i) out.put(static_cast<char>(random() & 0xFF));
    }

    FILE* pipe = popen((command(picture, message) + " >/dev/null 2>" + Quoted(errors)).c_str(), "w");
    if (!pipe) {
        failure = "cannot start " + cli_;
        return false;
    }
    if (version_ >= 2) std::fprintf(pipe, "%s\n", kPassword);
    int status = pclose(pipe);
    if (status != 0) {
        int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        failure = "velquist-cli hide exited with " + std::to_string(code) + ": " + FirstLine(errors);
        return false;
    }
    take(picture);
    return true;
}

std::optional<Picture> CliEmbedder::embed(const Crop& crop, const Picture& cover, double rate,
                                          std::uint64_t seed, std::string& failure) const {
    const std::int64_t length = MessageLength(version_, rate, static_cast<std::int64_t>(cover.samples.size()));
    std::optional<Picture> carrier;
    if (!hideInCopy(crop.path, "crop.bmp", length, seed, failure, [&](const std::string& path) { carrier = ReadBmp(path); }))
        return std::nullopt;
    return carrier;
}

}  // namespace velquist::detect
