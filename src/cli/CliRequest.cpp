#include "cli/CliRequest.h"

#include <map>

#include "cli/CliTexts.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

const std::map<std::string, Command> kCommands = {
    {"inspect", Command::Inspect}, {"hide", Command::Hide},
    {"extract", Command::Extract}, {"wipe", Command::Wipe},
};

std::size_t OperandCount(Command command) { return command == Command::Hide ? 2 : 1; }

// Applies one option; false when the subcommand does not take it.
bool ApplyOption(CliRequest& r, const std::string& option) {
    switch (r.command) {
        case Command::Inspect:
            if (option == "--json") return r.json = true;
            return false;
        case Command::Hide:
            if (option == "--password") return r.password = true;
            if (option == "--password-stdin") return r.password = r.passwordStdin = true;
            return false;
        case Command::Extract:
            if (option == "--wipe") return r.wipe = true;
            if (option == "--force") return r.force = true;
            if (option == "--password-stdin") return r.passwordStdin = true;
            return false;
        default:
            return false;
    }
}

std::optional<CliRequest> Fail(std::string& error, const std::string& text) {
    error = text;
    return std::nullopt;
}

}  // namespace

std::optional<CliRequest> ParseRequest(const std::vector<std::string>& args, std::string& error) {
    CliRequest r;
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") return r;
    }
    if (args.empty()) return Fail(error, kNoCommand);
    if (args[0] == "--version") {
        if (args.size() != 1) return Fail(error, kWrongOperands);
        r.command = Command::Version;
        return r;
    }
    auto found = kCommands.find(args[0]);
    if (found == kCommands.end()) return Fail(error, kUnknownCommand + args[0]);
    r.command = found->second;

    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            operands.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (r.command == Command::Extract && a == "--output-dir") {
            if (++i == args.size()) return Fail(error, kMissingDir);
            r.outputDir = args[i];
        } else if (r.command == Command::Extract && a.starts_with("--output-dir=")) {
            r.outputDir = a.substr(a.find('=') + 1);
            if (r.outputDir.empty()) return Fail(error, kMissingDir);
        } else if (!ApplyOption(r, a)) {
            return Fail(error, kUnknownOption + a);
        }
    }
    if (operands.size() != OperandCount(r.command)) return Fail(error, kWrongOperands);
    r.picture = operands[0];
    if (r.command == Command::Hide) r.message = operands[1];
    return r;
}

}  // namespace velquist::cli
