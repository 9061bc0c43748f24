// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include "shell/ShellTexts.h"

namespace velquist {

void CommandLine::Describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(QString::fromUtf8(texts::kCommandLineDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QString::fromUtf8(texts::kFileArgumentHelp),
                                 QStringLiteral("[FILE]"));
}

void CommandLine::AnswerWithoutWindow(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    Describe(parser);
    // The toolkit's own options (-platform, -style) are unknown here; they change nothing.
    parser.parse(arguments);
    const bool help = parser.isSet(QStringLiteral("help"));
    if (!help && !parser.isSet(QStringLiteral("version"))) return;
    // The help names the program as it was called; no display is needed for that.
    QCoreApplication console(argc, argv);
    if (help) parser.showHelp(0);
    parser.showVersion();
}

std::optional<std::string> CommandLine::StartFile(const QStringList& arguments) {
    QCommandLineParser parser;
    Describe(parser);
    parser.process(arguments);
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) return std::nullopt;
    // Shown in the window and used by every command: a full path, wherever the program runs.
    return QFileInfo(files.constFirst()).absoluteFilePath().toStdString();
}

}  // namespace velquist
