#include <QApplication>

#include "platform/QtPlatform.h"
#include "shell/MainController.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // One style everywhere, so the buttons show the colours the gradient gives them.
    QApplication::setStyle(QStringLiteral("Fusion"));
    velquist::QtPlatform platform;
    velquist::MainController controller(platform);
    controller.Show();
    return QApplication::exec();
}
