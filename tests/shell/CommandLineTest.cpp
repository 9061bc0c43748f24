// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <optional>

#include "shell/CommandLine.h"

namespace velquist {
namespace {

// --help and --version answer on a console. The program gets a display it cannot reach, so
// that making any window at all would end it with an error instead.
TEST(CommandLine, HelpAndVersionPrintAndEndWithoutAWindow) {
    const std::vector<std::pair<QString, QString>> cases{
        {"--version", QStringLiteral("Velquist " VELQUIST_VERSION "\n")},
        {"-v", QStringLiteral("Velquist " VELQUIST_VERSION "\n")},
        {"--help", "[FILE]"},
        {"-h", "--version"},
    };
    for (const auto& [option, expected] : cases) {
        SCOPED_TRACE(option.toStdString());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(VELQUIST_PROGRAM), {option});
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        const QString printed = QString::fromLocal8Bit(program.readAllStandardOutput());
        EXPECT_TRUE(printed.contains(expected)) << printed.toStdString();
    }
}

// The file named at start-up is used with its full path, wherever the program was started.
TEST(CommandLine, StartFileIsMadeAbsolute) {
    const QString here = QDir::currentPath();
    const std::vector<std::pair<QStringList, std::optional<std::string>>> cases{
        {{"velquist"}, std::nullopt},
        {{"velquist", "/pictures/a.bmp"}, "/pictures/a.bmp"},
        {{"velquist", "a.bmp"}, (here + "/a.bmp").toStdString()},
        {{"velquist", "sub/../b.bmp"}, (here + "/b.bmp").toStdString()},
        {{"velquist", "--", "-dash.bmp"}, (here + "/-dash.bmp").toStdString()},
    };
    for (const auto& [arguments, expected] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        EXPECT_EQ(CommandLine::StartFile(arguments), expected);
    }
}

}  // namespace
}  // namespace velquist
