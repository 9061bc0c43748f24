// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "probes/ExtractProbe.h"
#include "probes/HideProbe.h"
#include "probes/InspectProbe.h"
#include "probes/JpegProbe.h"
#include "probes/PngProbe.h"
#include "support/TempDir.h"

namespace velquist {
namespace {

namespace fs = std::filesystem;
using velquist::testing::ReadAll;

// Every input the fuzzers ever crashed on, and the seeds they start from.
std::vector<fs::path> KeptInputs() {
    std::vector<fs::path> inputs;
    const fs::path source = VELQUIST_SOURCE_DIR;
    for (const fs::path& folder : {source / "tests/data/fuzz-regressions", source / "fuzz/corpus"}) {
        if (!fs::exists(folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file() && entry.path().extension() != ".md")
                inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

TEST(FuzzRegressions, EveryKeptInputPassesEveryProbe) {
    auto inputs = KeptInputs();
    ASSERT_GE(inputs.size(), 15u) << "the seed corpus is missing";
    probes::InspectProbe inspect;
    probes::ExtractProbe extract;
    probes::HideProbe hide;
    probes::PngProbe png;
    probes::JpegProbe jpeg;
    for (const auto& input : inputs) {
        auto bytes = ReadAll(input.string());
        for (const auto& found : {inspect.Run(bytes), extract.Run(bytes), hide.Run(bytes), png.Run(bytes), jpeg.Run(bytes)})
            EXPECT_TRUE(found.empty()) << input << "\n" << found.str();
    }
}

}  // namespace
}  // namespace velquist
