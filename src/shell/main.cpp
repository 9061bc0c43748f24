#include <QApplication>
#include <QIcon>

#include "platform/QtPlatform.h"
#include "shell/ChineseTranslations.h"
#include "shell/MainController.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velquist"));
    QApplication::setDesktopFileName(QStringLiteral("org.velquist.Velquist"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.velquist.Velquist"),
                                                 QIcon(QStringLiteral(":/velquist/icon.png"))));
    // One style everywhere, so the buttons show the colours the gradient gives them.
    QApplication::setStyle(QStringLiteral("Fusion"));
    velquist::LoadChineseTranslations(app);
    velquist::QtPlatform platform;
    velquist::MainController controller(platform);
    controller.Show();
    return QApplication::exec();
}
