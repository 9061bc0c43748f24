// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliApp.h"

#include <cerrno>
#include <cstring>
#include <exception>

#include "cli/CliExtractCommand.h"
#include "cli/CliHideCommand.h"
#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/CliWipeCommand.h"
#include "cli/InspectCommand.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

ExitCode Dispatch(const CliRequest& request, CliSession& session) {
    switch (request.command) {
        case Command::Inspect: return RunInspect(request, session);
        case Command::Hide: return RunHide(request, session);
        case Command::Extract: return RunExtract(request, session);
        case Command::Wipe: return RunWipe(request, session);
        case Command::Help:
        case Command::Version: break;
    }
    return ExitCode::Usage;
}

ExitCode Run(const CliRequest& request, CliIo& io) {
    if (request.command == Command::Help) {
        io.out << Tr(kHelp);
        return ExitCode::Ok;
    }
    if (request.command == Command::Version) {
        io.out << "velquist-cli " << VELQUIST_VERSION << '\n';
        return ExitCode::Ok;
    }
    CliSession session(io, request.passwordStdin);
    try {
        return Dispatch(request, session);
    } catch (const FileError& e) {
        // The commands catch what they expect; anything else is still a file that failed.
        return session.Fail(ExitCode::IoFailure, kReadFailed, e.what());
    } catch (const std::exception& e) {
        return session.Fail(ExitCode::IoFailure, kUnexpected, e.what());
    }
}

}  // namespace

int RunCli(const std::vector<std::string>& args, CliIo& io) {
    UseLanguage(io.language, io.catalogFolder);
    UsageError usage;
    auto request = ParseRequest(args, usage);
    if (!request) {
        io.err << Tr(kUsageError) << Tr(usage.error) << usage.detail << '\n' << Tr(kSeeHelp) << '\n';
        return static_cast<int>(ExitCode::Usage);
    }
    ExitCode code = Run(*request, io);
    // A result that never reached its reader (a closed pipe, a full disk) is a failure.
    errno = 0;
    if (!io.out.flush()) {
        io.err << Tr(kStdoutFailed) << std::strerror(errno) << '\n' << std::flush;
        return static_cast<int>(ExitCode::IoFailure);
    }
    return static_cast<int>(code);
}

}  // namespace velquist::cli
