// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <iostream>

#include "cli/CliApp.h"
#include "platform/SignalCleanup.h"

namespace {

// A standard descriptor the caller closed is filled with one that fails every use, so that a
// file opened later never takes its number and receives what was meant for the stream.
void KeepStandardDescriptorsTaken() {
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1) continue;
        int filler = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (filler != fd && filler >= 0) {
            ::dup2(filler, fd);
            ::close(filler);
        }
    }
}

int TerminalColumns(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return 80;
    return size.ws_col;
}

}  // namespace

int main(int argc, char** argv) {
    KeepStandardDescriptorsTaken();
    velquist::SignalCleanup::Install();
    std::vector<std::string> args(argv + 1, argv + argc);
    velquist::cli::CliIo io{.in = std::cin,
                            .out = std::cout,
                            .err = std::cerr,
                            .errIsTerminal = ::isatty(STDERR_FILENO) == 1,
                            .errColumns = TerminalColumns(STDERR_FILENO),
                            .terminalPath = "/dev/tty",
                            .inFd = STDIN_FILENO,
                            .language = velquist::cli::LanguageFromEnvironment(),
                            .catalogFolder = velquist::cli::CatalogFolder(),
                            .faultHook = {}};
    try {
        return velquist::cli::RunCli(args, io);
    } catch (...) {
        // Nothing may end the process with an uncaught exception and no word of why.
        static const char kLast[] = "velquist-cli: unexpected error\n";
        [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, kLast, sizeof kLast - 1);
        return 5;
    }
}
