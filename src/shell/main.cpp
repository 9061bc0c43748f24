#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/QtPlatform.h"
#include "shell/MainController.h"

namespace {

// The dialogs Qt draws itself speak Simplified Chinese like the rest of the window,
// whatever the desktop's language.
void LoadChineseTranslations(QApplication& app, QTranslator& translator) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    if (translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velquist"));
    QApplication::setDesktopFileName(QStringLiteral("org.velquist.Velquist"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.velquist.Velquist"),
                                                 QIcon(QStringLiteral(":/velquist/icon.png"))));
    // One style everywhere, so the buttons show the colours the gradient gives them.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QTranslator translator;
    LoadChineseTranslations(app, translator);
    velquist::QtPlatform platform;
    velquist::MainController controller(platform);
    controller.Show();
    return QApplication::exec();
}
