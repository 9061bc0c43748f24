// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <optional>
#include <string>

class QCommandLineParser;

namespace velquist {

// The window program's arguments: a file to open as the carrier (what a menu entry or a file
// manager's "Open with" passes), --help and --version.
class CommandLine {
public:
    // Prints the help or the version and ends the program when either is asked for. Runs
    // before any window exists, so both answer on a console without a display.
    static void AnswerWithoutWindow(int argc, char* argv[]);
    // The file to open at start-up, if one is named. `arguments` are the application's, with
    // the toolkit's own options taken out; a wrong option ends the program with its message.
    static std::optional<std::string> StartFile(const QStringList& arguments);

private:
    static void Describe(QCommandLineParser& parser);
};

}  // namespace velquist
