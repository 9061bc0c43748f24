// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "platform/QtPlatform.h"
#include "platform/SignalCleanup.h"
#include "shell/ChineseTranslations.h"
#include "shell/CommandLine.h"
#include "shell/MainController.h"

int main(int argc, char* argv[]) {
    QApplication::setApplicationName(QStringLiteral("Velquist"));
    QApplication::setApplicationVersion(QStringLiteral(VELQUIST_VERSION));
    velquist::CommandLine::AnswerWithoutWindow(argc, argv);
    // A logout or a kill mid-pass removes a half-written output and takes back a password.
    velquist::SignalCleanup::Install();
    QApplication app(argc, argv);
    const std::optional<std::string> file =
        velquist::CommandLine::StartFile(QApplication::arguments());
    QApplication::setDesktopFileName(QStringLiteral("org.velquist.Velquist"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.velquist.Velquist"),
                                                 QIcon(QStringLiteral(":/velquist/icon.png"))));
    // One style everywhere, so the buttons show the colours the gradient gives them.
    QApplication::setStyle(QStringLiteral("Fusion"));
    velquist::LoadChineseTranslations(app);
    velquist::QtPlatform platform;
    velquist::MainController controller(platform);
    controller.Show();
    // Once the window is up, so that the picture's boxes stand in front of it.
    if (file)
        QTimer::singleShot(0, &controller.Window(), [&] {
            velquist::FrmMain::Call([&] { controller.OpenAtStart(*file); });
        });
    return QApplication::exec();
}
