#include "cli/CliApp.h"

#include "cli/CliRequest.h"
#include "cli/CliSession.h"
#include "cli/CliTexts.h"
#include "cli/CliExtractCommand.h"
#include "cli/CliHideCommand.h"
#include "cli/InspectCommand.h"
#include "cli/CliWipeCommand.h"

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

}  // namespace

int RunCli(const std::vector<std::string>& args, CliIo& io) {
    std::string error;
    auto request = ParseRequest(args, error);
    if (!request) {
        io.err << kUsageError << error << '\n' << kSeeHelp << '\n';
        return static_cast<int>(ExitCode::Usage);
    }
    if (request->command == Command::Help) {
        io.out << kHelp;
        return static_cast<int>(ExitCode::Ok);
    }
    if (request->command == Command::Version) {
        io.out << "velquist-cli " << VELQUIST_VERSION << '\n';
        return static_cast<int>(ExitCode::Ok);
    }
    CliSession session(io, request->passwordStdin);
    try {
        return static_cast<int>(Dispatch(*request, session));
    } catch (const FileError& e) {
        // The commands catch what they expect; anything else is still a file that failed.
        return static_cast<int>(session.Fail(ExitCode::IoFailure, kReadFailed + std::string(e.what())));
    }
}

}  // namespace velquist::cli
