// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velquist::probes {

// A private temporary folder that a probe empties before every input and removes at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string File(const std::string& name) const { return path_ + "/" + name; }
    void Empty() const;
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;
    void Write(const std::string& name, std::span<const std::uint8_t> bytes) const;
    // The file's bytes; empty when it cannot be read.
    std::vector<std::uint8_t> Read(const std::string& name) const;

private:
    std::string path_;
};

}  // namespace velquist::probes
