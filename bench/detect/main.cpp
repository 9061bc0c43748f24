// SPDX-License-Identifier: GPL-3.0-or-later
// The detectability benchmark: how well published detectors tell carriers from the clean
// crops they were made from. Run by hand; see bench/detect/README.md.
#include <csignal>
#include <iostream>

#include "BenchmarkRun.h"
#include "Corpus.h"
#include "JpegBenchmarkRun.h"
#include "Options.h"
#include "SelfCheck.h"

using namespace velquist::detect;

int main(int argc, char** argv) {
    std::string error;
    std::optional<Options> options = ParseOptions(argc, argv, VELQUIST_DETECT_CLI, error);
    if (!options) {
        (error.empty() ? std::cout : std::cerr) << (error.empty() ? "" : error + "\n") << Usage();
        return error.empty() ? 0 : 2;
    }
    if (options->selfCheck) return RunSelfCheck(std::cout) == 0 ? 0 : 1;
    // A command line that refuses a picture before reading the password closes the pipe the
    // password goes into; its exit status says why, which a SIGPIPE would not let us read.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        if (options->jpeg) {
            JpegBenchmarkRun(*options).run(std::cout);
            return 0;
        }
        std::vector<Crop> crops = ReadCorpus(options->corpus);
        if (options->quick) crops = EveryNth(crops, 4);
        BenchmarkRun(*options, std::move(crops)).run(std::cout);
    } catch (const std::exception& e) {
        std::cerr << "velquist_detect_bench: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
