// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliRequest.h"

#include <CLI/CLI.hpp>

#include <algorithm>

#include "cli/CliTexts.h"

namespace velquist::cli {

namespace {

using namespace cli_texts;

const std::vector<std::string> kFlags = {"--json", "--password", "--password-stdin", "--wipe", "--force",
                                         "--version"};

// Every subcommand collects what it does not know, so the error can name it.
CLI::App* AddSubcommand(CLI::App& app, const char* name, std::string& picture) {
    CLI::App* sub = app.add_subcommand(name);
    sub->allow_extras();
    sub->add_option("picture", picture)->required();
    return sub;
}

void AddFlag(CLI::App* sub, const char* name, bool& value) {
    sub->add_flag(name, value)->disable_flag_override();
}

// Where a password comes from: the terminal or one line of standard input, never both.
void AddPasswordFlags(CLI::App* sub, CliRequest& r) {
    CLI::Option* typed = sub->add_flag("--password", r.password)->disable_flag_override();
    CLI::Option* piped = sub->add_flag("--password-stdin", r.passwordStdin)->disable_flag_override();
    typed->excludes(piped);
}

struct Parser {
    CliRequest r;
    bool version = false;
    CLI::App app{"velquist-cli"};
    CLI::App* inspect = AddSubcommand(app, "inspect", r.picture);
    CLI::App* hide = AddSubcommand(app, "hide", r.picture);
    CLI::App* extract = AddSubcommand(app, "extract", r.picture);
    CLI::App* wipe = AddSubcommand(app, "wipe", r.picture);
    CLI::Option* format = nullptr;

    Parser() {
        app.allow_extras();
        app.add_flag("--version", version)->disable_flag_override();
        AddFlag(inspect, "--json", r.json);
        hide->add_option("message", r.message)->required();
        for (CLI::App* sub : {hide, extract, wipe}) AddPasswordFlags(sub, r);
        format = hide->add_option("--format", r.format)->check(CLI::IsMember({1, 2, 3}));
        extract->add_option("--output-dir", r.outputDir);
        AddFlag(extract, "--wipe", r.wipe);
        AddFlag(extract, "--force", r.force);
    }
};

std::optional<CliRequest> Fail(UsageError& error, const char* text, std::string detail = "") {
    error = UsageError{text, std::move(detail)};
    return std::nullopt;
}

// A flag given a value ("--password=abc") is an option the subcommand does not take.
std::string FlagWithValue(const std::vector<std::string>& args) {
    for (const auto& a : args) {
        auto equals = a.find('=');
        if (equals != std::string::npos &&
            std::find(kFlags.begin(), kFlags.end(), a.substr(0, equals)) != kFlags.end())
            return a;
    }
    return "";
}

std::optional<CliRequest> FailOnValue(const std::vector<std::string>& args, const CLI::ParseError& e,
                                      UsageError& error) {
    if (std::string flag = FlagWithValue(args); !flag.empty()) return Fail(error, kUnknownOption, flag);
    if (std::string(e.what()).starts_with("--output-dir")) return Fail(error, kMissingDir);
    return Fail(error, kBadFormat);
}

// What the subcommand left over: an unknown option, or one operand too many. The "--" that
// ends the options is left over too and is fine.
bool NoExtras(const std::vector<std::string>& extras, UsageError& error) {
    for (const auto& a : extras) {
        if (a.size() > 1 && a[0] == '-' && a != "--") {
            error = UsageError{kUnknownOption, a};
            return false;
        }
    }
    if (std::any_of(extras.begin(), extras.end(), [](const std::string& a) { return a != "--"; })) {
        error = UsageError{kWrongOperands, ""};
        return false;
    }
    return true;
}

Command CommandOf(const Parser& p, const CLI::App* sub) {
    if (sub == p.inspect) return Command::Inspect;
    if (sub == p.hide) return Command::Hide;
    if (sub == p.extract) return Command::Extract;
    return Command::Wipe;
}

}  // namespace

std::optional<CliRequest> ParseRequest(const std::vector<std::string>& args, UsageError& error) {
    Parser p;
    try {
        // CLI11 takes the arguments last first.
        p.app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
    } catch (const CLI::CallForHelp&) {
        return CliRequest{};
    } catch (const CLI::ExcludesError&) {
        return Fail(error, kPasswordTwice);
    } catch (const CLI::RequiredError&) {
        return Fail(error, kWrongOperands);
    } catch (const CLI::ValidationError&) {
        return Fail(error, kBadFormat);
    } catch (const CLI::ParseError& e) {
        return FailOnValue(args, e, error);
    }
    std::vector<CLI::App*> subs = p.app.get_subcommands();
    if (p.version) {
        if (!subs.empty() || !p.app.remaining().empty()) return Fail(error, kWrongOperands);
        return CliRequest{.command = Command::Version};
    }
    if (subs.empty()) {
        if (args.empty()) return Fail(error, kNoCommand);
        return Fail(error, kUnknownCommand, args[0]);
    }
    if (!NoExtras(subs[0]->remaining(), error)) return std::nullopt;
    if (p.r.outputDir.empty()) return Fail(error, kMissingDir);
    CliRequest r = p.r;
    r.command = CommandOf(p, subs[0]);
    // Reading the password from standard input is itself a request for one.
    r.password = r.password || r.passwordStdin;
    // Asking for encryption without a password would hide the message unprotected.
    if (r.command == Command::Hide && !r.password && p.format->count() > 0 && r.format != 1)
        return Fail(error, r.format == 3 ? kStealthNeedsPassphrase : kFormatNeedsPassword);
    return r;
}

}  // namespace velquist::cli
