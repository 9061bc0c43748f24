// SPDX-License-Identifier: GPL-3.0-or-later
// How often the JPEG-history judgement says "was a JPEG", per set of pictures, and how long it
// takes: a set of pictures that never were JPEGs gives the false alarms, a set of decoded JPEGs
// the hits. Run by hand on the sets bench/history/gather-pictures writes (see its header).
//
//   velquist_history_bench [--each] NAME=LIST ...    (LIST: one PNG or BMP path a line)
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "PictureFile.h"
#include "ProcessMeter.h"
#include "engine/history/DecoderColours.h"
#include "engine/history/JpegHistory.h"

namespace {

using velquist::history::JpegHistory;

struct SetCount {
    std::string name;
    int pictures = 0;
    int found = 0;
    int byBlocks = 0;
    int foundByBlocks = 0;
    double megapixels = 0;
    double seconds = 0;
    double largestMegapixels = 0;
    double largestSeconds = 0;
};

void PrintEach(const std::string& path, const JpegHistory& h) {
    std::printf("%s\t%s\t%s\timpossible %.5f\tcolours %llu (%.3f impossible)", path.c_str(), h.found ? "JPEG" : "-",
                h.basis == JpegHistory::Basis::Blocks ? "blocks" : "colours", h.impossibleShare,
                static_cast<unsigned long long>(h.distinctColours), h.impossibleColourShare);
    if (h.basis == JpegHistory::Basis::Blocks)
        std::printf("\tblocks %llu fitted %u fit %.3f evidence %.0f", static_cast<unsigned long long>(h.blocks.blocks),
                    h.blocks.fittedFrequencies, h.blocks.fit, h.blocks.evidence);
    std::printf("\n");
}

SetCount Judge(const std::string& name, const std::string& list, bool each) {
    SetCount count{name};
    std::ifstream in(list);
    if (!in) throw std::runtime_error(list + ": cannot open");
    for (std::string path; std::getline(in, path);) {
        if (path.empty()) continue;
        velquist::bench::PictureFile file = velquist::bench::ReadPictureFile(path);
        velquist::history::Pixels pixels{file.width, file.height, file.rgb, file.carries};
        double start = velquist::bench::CpuSeconds();
        JpegHistory h = velquist::history::JudgeJpegHistory(pixels);
        double seconds = velquist::bench::CpuSeconds() - start;
        double megapixels = static_cast<double>(pixels.count()) / 1e6;
        ++count.pictures;
        count.found += h.found;
        bool blocks = h.basis == JpegHistory::Basis::Blocks;
        count.byBlocks += blocks;
        count.foundByBlocks += blocks && h.found;
        count.megapixels += megapixels;
        count.seconds += seconds;
        if (megapixels > count.largestMegapixels) {
            count.largestMegapixels = megapixels;
            count.largestSeconds = seconds;
        }
        if (each) PrintEach(path, h);
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    bool each = false;
    std::vector<std::pair<std::string, std::string>> sets;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto eq = arg.find('=');
        if (arg == "--each")
            each = true;
        else if (eq != std::string::npos)
            sets.emplace_back(arg.substr(0, eq), arg.substr(eq + 1));
        else {
            std::cerr << "usage: velquist_history_bench [--each] NAME=LIST ...\n";
            return 2;
        }
    }
    double start = velquist::bench::CpuSeconds();
    velquist::history::DecoderColours::Get();
    std::printf("decoder colour table, built once: %.1f ms of processor time\n\n",
                1000 * (velquist::bench::CpuSeconds() - start));

    std::vector<SetCount> counts;
    try {
        for (const auto& [name, list] : sets) counts.push_back(Judge(name, list, each));
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    std::printf(
        "| set | pictures | said JPEG | share | by blocks (said JPEG) | processor ms per MP | largest: MP, ms |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const SetCount& c : counts)
        std::printf("| %s | %d | %d | %.3f | %d (%d) | %.1f | %.1f, %.0f |\n", c.name.c_str(), c.pictures, c.found,
                    c.pictures ? static_cast<double>(c.found) / c.pictures : 0.0, c.byBlocks, c.foundByBlocks,
                    c.megapixels > 0 ? 1000 * c.seconds / c.megapixels : 0.0, c.largestMegapixels,
                    1000 * c.largestSeconds);
    return 0;
}
