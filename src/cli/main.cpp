#include <unistd.h>

#include <iostream>

#include "cli/CliApp.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    velquist::cli::CliIo io{.in = std::cin,
                            .out = std::cout,
                            .err = std::cerr,
                            .errIsTerminal = ::isatty(STDERR_FILENO) == 1,
                            .terminalPath = "/dev/tty",
                            .faultHook = {}};
    return velquist::cli::RunCli(args, io);
}
